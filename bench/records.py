# Records as an array of small dicts: builds 20,000 of them, then filters and sums them in
# 20 passes. Prints integer totals only (a dict's listing order is not fixed).
seed = 42
people = []
i = 0
while i < 20000:
    seed = (seed * 1103515245 + 12345) % 2147483648
    people.append({"id": i, "age": 18 + seed % 60, "score": seed % 1000, "group": i % 7})
    i += 1
passes = 0
kept = 0
score_sum = 0
age_sum = 0
while passes < 20:
    adults = []
    for p in people:
        if p["age"] >= 40 and p["group"] != passes:
            adults.append({"id": p["id"], "score": p["score"]})
    kept += len(adults)
    for a in adults:
        score_sum += a["score"]
    for p in people:
        age_sum += p["age"]
    passes += 1
print(len(people))
print(kept)
print(score_sum)
print(age_sum)
