# A recursive tree of dicts and arrays: builds a complete binary tree of depth 15 (65,535
# nodes, each a dict with a value, a label and an array of children), then walks it 8 times.
def build(depth, value):
    if depth == 0:
        return {"value": value, "label": "leaf", "children": []}
    left = build(depth - 1, value * 2)
    right = build(depth - 1, value * 2 + 1)
    return {"value": value, "label": "node", "children": [left, right]}


def total(node):
    sum_ = node["value"]
    for child in node["children"]:
        sum_ += total(child)
    return sum_


def leaves(node):
    if len(node["children"]) == 0:
        return 1
    return leaves(node["children"][0]) + leaves(node["children"][1])


def height(node):
    if node["label"] == "leaf":
        return 0
    a = height(node["children"][0])
    b = height(node["children"][1])
    if a > b:
        return a + 1
    return b + 1


tree = build(15, 1)
walks = 0
sum_all = 0
while walks < 8:
    sum_all += total(tree)
    walks += 1
print(sum_all)
print(leaves(tree))
print(height(tree))
