-- Building a 100,000-character string one character at a time.
local s = ""
local i = 0
while i < 100000 do
  s = s .. "x"
  i = i + 1
end
print(#s)
