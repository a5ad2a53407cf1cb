// The keyboard layout of the system.
#include "platform/keymap.h"

#include <windows.h>

namespace brtl::platform {

uint16_t vk_key_scan(unsigned char c) {
    return static_cast<uint16_t>(VkKeyScanA(static_cast<CHAR>(c)));
}

uint32_t map_virtual_key(uint32_t vk) {
    return MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
}

} // namespace brtl::platform
