-- A counting loop with compound assignment.
local i = 0
local total = 0
while i < 3000000 do
  i = i + 1
  total = total + i
end
print(total)
