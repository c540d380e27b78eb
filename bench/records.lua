-- Records as an array of small dicts: builds 20,000 of them, then filters and sums them in
-- 20 passes. Prints integer totals only (a dict's listing order is not fixed).
local seed = 42
local people = {}
local i = 0
while i < 20000 do
  seed = (seed * 1103515245 + 12345) % 2147483648
  people[#people + 1] = {id = i, age = 18 + seed % 60, score = seed % 1000, group = i % 7}
  i = i + 1
end
local passes = 0
local kept = 0
local score_sum = 0
local age_sum = 0
while passes < 20 do
  local adults = {}
  for _, p in ipairs(people) do
    if p.age >= 40 and p.group ~= passes then
      adults[#adults + 1] = {id = p.id, score = p.score}
    end
  end
  kept = kept + #adults
  for _, a in ipairs(adults) do
    score_sum = score_sum + a.score
  end
  for _, p in ipairs(people) do
    age_sum = age_sum + p.age
  end
  passes = passes + 1
end
print(#people)
print(kept)
print(score_sum)
print(age_sum)
