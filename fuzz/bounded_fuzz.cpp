// A bounded stand-in for the libFuzzer driver, so every fuzz target also runs with g++ and in
// ctest: random inputs from a fixed, printed seed for a number of seconds or runs, or replay of
// input files given on the command line.
//   TARGET [--seconds N] [--runs N] [--seed N] [FILE...]
// The clang libFuzzer build brings its own main (VEX_LIBFUZZER).
#ifndef VEX_LIBFUZZER

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

constexpr std::size_t kMaxSize = 8192;
constexpr std::uint64_t kDefaultSeed = 0x5EED0002C0FFEEULL;

// Values that tend to sit on boundaries: zero, all ones, and the digits of record signatures.
constexpr std::uint8_t kInteresting[] = {0x00, 0xFF, 0x30, 0x32};
// Sizes around the structures the targets parse.
constexpr std::size_t kInterestingSizes[] = {0,   1,   2,    4,    8,    12,   16,   32,      100,
                                             255, 256, 3879, 3880, 3881, 7760, 7761, kMaxSize};

class InputGenerator {
 public:
  explicit InputGenerator(std::uint64_t seed) : random_(seed) {}

  const std::vector<std::uint8_t>& next() {
    const std::size_t size = pickSize();
    switch (below(5)) {
      case 0:  // uniform bytes
        input_.resize(size);
        for (auto& b : input_) b = byte();
        break;
      case 1:  // half the bytes interesting
        input_.resize(size);
        for (auto& b : input_) b = below(2) ? interesting() : byte();
        break;
      case 2:  // mostly zero with sparse noise
        input_.assign(size, 0);
        for (auto& b : input_) {
          if (below(64) == 0) b = below(2) ? interesting() : byte();
        }
        break;
      case 3:  // a repeated 32-bit word with sparse noise (repeats "0002" in signature slots)
      {
        std::uint8_t word[4];
        const unsigned kind = below(4);
        for (int i = 0; i < 4; ++i) {
          word[i] = kind == 0 ? std::uint8_t{0x30} : kind == 1 ? interesting() : byte();
        }
        if (kind == 0) word[3] = 0x32;
        input_.resize(size);
        for (std::size_t i = 0; i < size; ++i) input_[i] = word[i % 4];
        for (auto& b : input_) {
          if (below(32) == 0) b = byte();
        }
        break;
      }
      default:  // the previous input, resized and with a few bytes changed
        input_.resize(size, 0);
        if (!input_.empty()) {
          for (unsigned n = 1 + below(8); n > 0; --n) {
            input_[below(static_cast<unsigned>(input_.size()))] = below(2) ? interesting() : byte();
          }
        }
        break;
    }
    return input_;
  }

 private:
  unsigned below(unsigned bound) { return static_cast<unsigned>(random_() % bound); }
  std::uint8_t byte() { return static_cast<std::uint8_t>(random_()); }
  std::uint8_t interesting() { return kInteresting[below(std::size(kInteresting))]; }
  std::size_t pickSize() {
    if (below(4) == 0) return kInterestingSizes[below(std::size(kInterestingSizes))];
    return below(kMaxSize + 1);
  }

  std::mt19937_64 random_;
  std::vector<std::uint8_t> input_;
};

bool parseCount(const char* text, std::uint64_t* value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0' || text[0] == '-') return false;
  *value = parsed;
  return true;
}

// Like libFuzzer, never hands the target a null pointer, even for an empty input.
void run(const std::vector<std::uint8_t>& input) {
  static const std::uint8_t kEmpty = 0;
  LLVMFuzzerTestOneInput(input.empty() ? &kEmpty : input.data(), input.size());
}

int usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--seconds N] [--runs N] [--seed N] [FILE...]\n", program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seconds = 10;
  std::uint64_t runs = 0;  // 0: no limit but time
  std::uint64_t seed = kDefaultSeed;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::uint64_t* target = arg == "--seconds" ? &seconds
                            : arg == "--runs"  ? &runs
                            : arg == "--seed"  ? &seed
                                               : nullptr;
    if (target != nullptr) {
      if (i + 1 >= argc || !parseCount(argv[i + 1], target)) return usage(argv[0]);
      ++i;
    } else if (arg.rfind("--", 0) == 0) {
      return usage(argv[0]);
    } else {
      files.push_back(arg);
    }
  }

  if (!files.empty()) {
    for (const std::string& name : files) {
      std::ifstream file(name, std::ios::binary);
      if (!file) {
        std::fprintf(stderr, "cannot read %s\n", name.c_str());
        return 1;
      }
      const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                            std::istreambuf_iterator<char>());
      run(bytes);
    }
    std::printf("replayed %zu inputs\n", files.size());
    return 0;
  }

  seconds = std::min<std::uint64_t>(seconds, 365ULL * 24 * 3600);  // keeps the deadline finite
  std::printf("seed: %llu\n", static_cast<unsigned long long>(seed));
  std::fflush(stdout);
  InputGenerator generator(seed);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  std::uint64_t done = 0;
  while ((runs == 0 || done < runs) && std::chrono::steady_clock::now() < deadline) {
    const std::vector<std::uint8_t>& input = generator.next();
    run(input);
    ++done;
  }
  std::printf("runs: %llu\n", static_cast<unsigned long long>(done));
  return 0;
}

#endif  // VEX_LIBFUZZER
