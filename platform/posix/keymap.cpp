// Tables of the United States keyboard layout: characters to virtual keys, virtual keys to scan
// codes and to the X11 keysyms of the same keys.
#include "platform/keymap.h"
#include "platform/posix/x11.h"

#include <X11/keysym.h>

#include <cstring>

namespace brtl::platform {

namespace {

// The punctuation keys: a character, its shifted character, the virtual key and its scan code.
struct SymbolKey {
    char plain;
    char shifted;
    uint8_t vk;
    uint8_t scan;
};

constexpr SymbolKey kSymbolKeys[] = {
    {';', ':', 0xBA, 0x27}, {'=', '+', 0xBB, 0x0D},  {',', '<', 0xBC, 0x33},
    {'-', '_', 0xBD, 0x0C}, {'.', '>', 0xBE, 0x34},  {'/', '?', 0xBF, 0x35},
    {'`', '~', 0xC0, 0x29}, {'[', '{', 0xDB, 0x1A},  {'\\', '|', 0xDC, 0x2B},
    {']', '}', 0xDD, 0x1B}, {'\'', '"', 0xDE, 0x28}, {' ', ' ', 0x20, 0x39},
};

// The characters of Shift with the digit keys 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// Control characters that a key of the layout types, and the key with its shift state (the
// Ctrl rows of the bracket, backslash and Enter keys, Ctrl+Shift with 6 and minus).
struct ControlKey {
    unsigned char c;
    uint16_t scan;
};

constexpr ControlKey kControlKeys[] = {
    {0x03, 0x0003}, {0x08, 0x0008}, {0x09, 0x0009}, {0x0A, 0x020D}, {0x0D, 0x000D}, {0x1B, 0x02DB},
    {0x1C, 0x02DC}, {0x1D, 0x02DD}, {0x1E, 0x0336}, {0x1F, 0x03BD}, {0x7F, 0x0208},
};

// Set-1 scan codes of the letter keys A to Z and of the digit keys 0 to 9.
constexpr uint8_t kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                     0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                     0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr uint8_t kDigitScan[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};

// The other keys: virtual key, scan code and keysym.
struct NamedKey {
    uint8_t vk;
    uint8_t scan;
    uint32_t keysym;
};

constexpr NamedKey kNamedKeys[] = {
    {0x03, 0x46, XK_Break},     {0x08, 0x0E, XK_BackSpace}, {0x09, 0x0F, XK_Tab},
    {0x0C, 0x4C, XK_Clear},     {0x0D, 0x1C, XK_Return},    {0x10, 0x2A, XK_Shift_L},
    {0x11, 0x1D, XK_Control_L}, {0x12, 0x38, XK_Alt_L},     {0x13, 0x45, XK_Pause},
    {0x14, 0x3A, XK_Caps_Lock}, {0x1B, 0x01, XK_Escape},    {0x21, 0x49, XK_Prior},
    {0x22, 0x51, XK_Next},      {0x23, 0x4F, XK_End},       {0x24, 0x47, XK_Home},
    {0x25, 0x4B, XK_Left},      {0x26, 0x48, XK_Up},        {0x27, 0x4D, XK_Right},
    {0x28, 0x50, XK_Down},      {0x2D, 0x52, XK_Insert},    {0x2E, 0x53, XK_Delete},
    {0x2F, 0x63, XK_Help},      {0x90, 0x45, XK_Num_Lock},  {0x91, 0x46, XK_Scroll_Lock},
};

constexpr uint8_t kFunctionScan[16] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42,
                                       0x43, 0x44, 0x57, 0x58, 0x64, 0x65, 0x66, 0x67};
constexpr uint32_t kVkF1 = 0x70;

const SymbolKey *symbol_key_of_vk(uint32_t vk) {
    for (const SymbolKey &k : kSymbolKeys)
        if (k.vk == vk) return &k;
    return nullptr;
}

const NamedKey *named_key_of_vk(uint32_t vk) {
    for (const NamedKey &k : kNamedKeys)
        if (k.vk == vk) return &k;
    return nullptr;
}

} // namespace

namespace {

uint16_t key_of_character(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<uint16_t>(kScanShift | c);
    if (c >= '0' && c <= '9') return c;
    if (const char *d = static_cast<const char *>(std::memchr(kShiftedDigits, c, 10)))
        return static_cast<uint16_t>(kScanShift | ('0' + (d - kShiftedDigits)));
    for (const SymbolKey &k : kSymbolKeys) {
        if (k.plain == c) return k.vk;
        if (k.shifted == c) return static_cast<uint16_t>(kScanShift | k.vk);
    }
    for (const ControlKey &k : kControlKeys)
        if (k.c == c) return k.scan;
    if (c >= 0x01 && c <= 0x1A) return static_cast<uint16_t>(kScanCtrl | ('A' + c - 1));
    return 0xFFFF;
}

// The key of every byte, built once.
struct CharacterKeys {
    uint16_t key[256];
    CharacterKeys() {
        for (int c = 0; c < 256; ++c)
            key[c] = key_of_character(static_cast<unsigned char>(c));
    }
};

} // namespace

uint16_t vk_key_scan(unsigned char c) {
    static const CharacterKeys keys;
    return keys.key[c];
}

uint32_t map_virtual_key(uint32_t vk) {
    if (vk >= 'A' && vk <= 'Z') return kLetterScan[vk - 'A'];
    if (vk >= '0' && vk <= '9') return kDigitScan[vk - '0'];
    if (vk >= kVkF1 && vk < kVkF1 + 16) return kFunctionScan[vk - kVkF1];
    if (const SymbolKey *k = symbol_key_of_vk(vk)) return k->scan;
    if (const NamedKey *k = named_key_of_vk(vk)) return k->scan;
    return 0;
}

uint32_t keysym_of_virtual_key(uint32_t vk) {
    if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
    if (vk >= kVkF1 && vk < kVkF1 + 16) return XK_F1 + (vk - kVkF1);
    if (const SymbolKey *k = symbol_key_of_vk(vk)) return static_cast<unsigned char>(k->plain);
    if (const NamedKey *k = named_key_of_vk(vk)) return k->keysym;
    return 0;
}

} // namespace brtl::platform
