# Growing an array to 30,000 elements, then reading it back by index.
xs = []
i = 0
while i < 30000:
    xs.append(i)
    i += 1
total = 0
i = 0
while i < len(xs):
    total += xs[i]
    i += 1
print(len(xs))
print(total)
