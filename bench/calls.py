# Many calls of a small two-argument function.
def add(a, b):
    return a + b


i = 0
total = 0
while i < 2000000:
    total = add(total, i)
    i += 1
print(total)
