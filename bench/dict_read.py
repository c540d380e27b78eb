# Reading a dictionary member through a function, many times.
def get_x(d):
    return d["x"]


point = {"x": 3, "y": 4}
i = 0
total = 0
while i < 600000:
    total += get_x(point)
    i += 1
print(total)
