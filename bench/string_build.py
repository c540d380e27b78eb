# Building a 100,000-character string one character at a time.
s = ""
i = 0
while i < 100000:
    s += "x"
    i += 1
print(len(s))
