# Reading a global in a loop at call depth 5000: the cost of a read must not
# depend on how many calls are active below it.
import sys

sys.setrecursionlimit(20000)
g = 3


def reader(n):
    s = 0
    i = 0
    while i < n:
        s += g
        i += 1
    return s


def dive(depth, n):
    if depth <= 1:
        return reader(n)
    return dive(depth - 1, n)


print(dive(5000, 3000000))
