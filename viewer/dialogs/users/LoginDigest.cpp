#include "LoginDigest.h"

#include <cstddef>

namespace hv {

namespace {

constexpr std::string_view kSalt =
    "Quillmarsh Ltd. Bright Channel Systems 48 Harbor Crane Road Westmoor ZZ 5073";
static_assert(kSalt.size() == 76);

constexpr bool isPrime(int n) {
    if (n < 2) {
        return false;
    }
    for (int d = 2; d * d <= n; ++d) {
        if (n % d == 0) {
            return false;
        }
    }
    return true;
}

// The primes from low to high in ascending order; the count must be exact (a wrong count does
// not compile: the out-of-range write is not a constant expression).
template <std::size_t Count>
constexpr std::array<int, Count> primesBetween(int low, int high) {
    std::array<int, Count> primes{};
    std::size_t found = 0;
    for (int n = low; n <= high; ++n) {
        if (isPrime(n)) {
            primes.at(found++) = n;
        }
    }
    return found == Count ? primes : std::array<int, Count>{};
}

constexpr auto kThreeDigitPrimes = primesBetween<143>(100, 999);
constexpr auto kFourDigitPrimes = primesBetween<1061>(1000, 9999);
static_assert(kThreeDigitPrimes.front() == 101 && kThreeDigitPrimes.back() == 997);
static_assert(kFourDigitPrimes.front() == 1009 && kFourDigitPrimes.back() == 9973);

constexpr int code(char c) {
    return static_cast<unsigned char>(c);
}

// Codes 33 ("!") to 126 ("~").
constexpr int kPrintableCount = 94;
constexpr int kFirstPrintable = 33;

}  // namespace

std::array<char, 2 * LoginDigest::kLength> LoginDigest::workingText(std::string_view password,
                                                                    int type) {
    std::array<char, 2 * kLength> text{};
    int sum = 0;
    int phase = 0;
    std::size_t salt = 0;
    std::size_t next = 0;
    for (int pair = 0; pair < kLength; ++pair) {
        text[2 * pair] = kSalt[salt];
        salt = (salt + 1) % kSalt.size();
        char second = ' ';
        if (next < password.size()) {
            second = password[next++];
            sum += code(second);
        } else {
            // Fillers once the password is used up: a space, a check character of the password
            // characters since the last check, then the type, after which the password starts
            // again.
            if (phase == 1) {
                second = static_cast<char>(sum % kPrintableCount + kFirstPrintable);
                sum = 0;
            } else if (phase == 2) {
                second = static_cast<char>(type + 32);
                next = 0;
            }
            phase = (phase + 1) % 3;
        }
        text[2 * pair + 1] = second;
    }
    return text;
}

std::array<char, LoginDigest::kLength> LoginDigest::of(std::string_view name,
                                                       std::string_view password, int type) {
    int nameSum = 0;
    for (const char c : name) {
        nameSum += code(c);
    }
    const int length = static_cast<int>(name.size());
    const int modulus = kThreeDigitPrimes[(code(name.front()) + 10 * length) % 143];
    const int key = kFourDigitPrimes[(code(name.back()) + 10 * nameSum) % 1061];
    // The key's four decimal digits, read as two binary-coded-decimal bytes.
    const int high = 16 * (key / 1000) + key / 100 % 10;
    const int low = 16 * (key / 10 % 10) + key % 10;

    const auto text = workingText(password, type);
    std::array<char, kLength> digest{};
    for (int k = 0; k < kLength; ++k) {
        const int word = 256 * (code(text[2 * k]) ^ high) + (code(text[2 * k + 1]) ^ low);
        digest[k] = static_cast<char>(word % modulus % kPrintableCount + kFirstPrintable);
    }
    return digest;
}

}  // namespace hv
