# String processing: splits lines into words, upper-cases them and tests for substrings.
# 30,000 passes over four lines of text; prints integer counts only.
lines = ["the quick brown fox jumps over the lazy dog",
         "a stitch in time saves nine and an apple a day",
         "banana bandana cabana and an anagram of canal",
         "pack my box with five dozen liquor jugs"]
words = 0
letters = 0
with_an = 0
upper_na = 0
joined = 0
pass_ = 0
while pass_ < 30000:
    for line in lines:
        for word in line.split(" "):
            words += 1
            big = word.upper()
            letters += len(big)
            if "an" in word:
                with_an += 1
            if "NA" in big:
                upper_na += 1
        parts = line.split("an")
        joined += len(parts)
    pass_ += 1
print(words)
print(letters)
print(with_an)
print(upper_na)
print(joined)
