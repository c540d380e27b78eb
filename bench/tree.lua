-- A recursive tree of dicts and arrays: builds a complete binary tree of depth 15 (65,535
-- nodes, each a dict with a value, a label and an array of children), then walks it 8 times.
local function build(depth, value)
  if depth == 0 then
    return {value = value, label = "leaf", children = {}}
  end
  local left = build(depth - 1, value * 2)
  local right = build(depth - 1, value * 2 + 1)
  return {value = value, label = "node", children = {left, right}}
end

local function total(node)
  local sum = node.value
  for _, child in ipairs(node.children) do
    sum = sum + total(child)
  end
  return sum
end

local function leaves(node)
  if #node.children == 0 then return 1 end
  return leaves(node.children[1]) + leaves(node.children[2])
end

local function height(node)
  if node.label == "leaf" then return 0 end
  local a = height(node.children[1])
  local b = height(node.children[2])
  if a > b then return a + 1 end
  return b + 1
end

local tree = build(15, 1)
local walks = 0
local sum_all = 0
while walks < 8 do
  sum_all = sum_all + total(tree)
  walks = walks + 1
end
print(sum_all)
print(leaves(tree))
print(height(tree))
