-- String processing: splits lines into words, upper-cases them and tests for substrings.
-- 30,000 passes over four lines of text; prints integer counts only.

-- Lua has no split: the pieces between plain (non-pattern) occurrences of sep, empty ones kept.
local function split(text, sep)
  local pieces = {}
  local start = 1
  while true do
    local first, last = string.find(text, sep, start, true)
    if not first then break end
    pieces[#pieces + 1] = string.sub(text, start, first - 1)
    start = last + 1
  end
  pieces[#pieces + 1] = string.sub(text, start)
  return pieces
end

local function contains(text, part)
  return string.find(text, part, 1, true) ~= nil
end

local lines = {"the quick brown fox jumps over the lazy dog",
               "a stitch in time saves nine and an apple a day",
               "banana bandana cabana and an anagram of canal",
               "pack my box with five dozen liquor jugs"}
local words = 0
local letters = 0
local with_an = 0
local upper_na = 0
local joined = 0
local pass = 0
while pass < 30000 do
  for _, line in ipairs(lines) do
    for _, word in ipairs(split(line, " ")) do
      words = words + 1
      local big = string.upper(word)
      letters = letters + #big
      if contains(word, "an") then with_an = with_an + 1 end
      if contains(big, "NA") then upper_na = upper_na + 1 end
    end
    local parts = split(line, "an")
    joined = joined + #parts
  end
  pass = pass + 1
end
print(words)
print(letters)
print(with_an)
print(upper_na)
print(joined)
