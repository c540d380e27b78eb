# Reading, assigning and passing a 10-element array 1,000,000 times (Python
# shares the list; the Vormel program copies by value).
big = list(range(1, 11))


def first(a):
    return a[0]


i = 0
total = 0
while i < 1000000:
    ys = big
    total += first(ys)
    i += 1
print(len(ys))
print(total)
