# A counting loop with compound assignment.
i = 0
total = 0
while i < 3000000:
    i += 1
    total += i
print(total)
