#include "runtime/bstr_text.h"

#include "brtl/platform.h"
#include "brtl/runtime.h"
#include "platform/codepage.h"

namespace brtl::runtime {

BstrText::BstrText(BSTR b) {
    uint32_t n = SysStringLen(b);
    size_t max = static_cast<size_t>(platform::mb_cur_max());
    if (max * (static_cast<size_t>(n) + 1) > sizeof local_) {
        heap_.reset(ZbiOleToChar(b, &size_));
        data_ = heap_.get();
        return;
    }
    uint32_t used = 0;
    for (uint32_t i = 0; i < n; ++i) {
        int len = platform::wctomb(local_ + used, b[i]);
        if (len < 0) {
            local_[used] = platform::kDefaultChar;
            len = 1;
        }
        used += static_cast<uint32_t>(len);
    }
    local_[used] = '\0';
    size_ = used;
    data_ = local_;
}

} // namespace brtl::runtime
