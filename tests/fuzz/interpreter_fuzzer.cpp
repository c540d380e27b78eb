// libFuzzer target: any bytes run as a script must neither crash nor hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bounded_run.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::prepare_process();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::run_bounded(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
