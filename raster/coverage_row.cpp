// The scalar coverage conversion of the anti-aliased filler: running sums of coverage
// differences turned into colours. The reference of the SSE2 and AVX2 forms.
#include "blend_variants.h"

namespace quillet::scalar {

uint32_t CoverageRow(int32_t* Acc, TColor32* Out, int32_t Count, uint32_t Sum, uint32_t Scale, TColor32 Rgb) {
  for (int32_t C = 0; C < Count; ++C) {
    Sum += static_cast<uint32_t>(Acc[C]);
    Acc[C] = 0;
    Out[C] = ((Sum * Scale & 0xFF00) << 16) | Rgb;
  }
  return Sum;
}

}  // namespace quillet::scalar
