# Counting primes up to 200,000 by trial division.
def is_prime(n):
    if n < 2:
        return False
    if n % 2 == 0:
        return n == 2
    d = 3
    while d * d <= n:
        if n % d == 0:
            return False
        d += 2
    return True


count = 0
n = 0
while n <= 200000:
    if is_prime(n):
        count += 1
    n += 1
print(count)
