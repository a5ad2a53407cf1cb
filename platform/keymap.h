// The keyboard of the dialect's platform: which virtual key (and shift state) types a character
// and the scan code of a virtual key. POSIX has tables of the United States layout, Windows
// asks the system.
#pragma once

#include <cstdint>

namespace brtl::platform {

// Shift-state bits of the high byte of vk_key_scan's result.
constexpr uint16_t kScanShift = 0x0100;
constexpr uint16_t kScanCtrl = 0x0200;
constexpr uint16_t kScanAlt = 0x0400;

// VkKeyScanA: the virtual key in the low byte and the shift state (kScan* bits) in the high
// byte of the key that types c; 0xFFFF when no key of the layout types it.
uint16_t vk_key_scan(unsigned char c);
// MapVirtualKeyA(vk, 0): the set-1 scan code of the virtual key, 0 when it has none.
uint32_t map_virtual_key(uint32_t vk);

} // namespace brtl::platform
