// The error dialog: the message for a code comes from the error table, a
// string list of (code, message) pairs from index 1, ended by an empty entry.
#include "Frame.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace frame {

namespace {

constexpr std::size_t kBufferSize = 256;

bool IsNumericEntry(const char* entry) {
    return entry[0] == '-' || (entry[0] >= '0' && entry[0] <= '9');
}

// The first four characters as a four-character code (missing ones are 0).
ASErr FourCharCode(const char* entry) {
    std::uint32_t code = 0;
    bool ended = false;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t byte = 0;
        if (!ended && entry[i] != '\0') {
            byte = static_cast<unsigned char>(entry[i]);
        } else {
            ended = true;
        }
        code = (code << 8) | byte;
    }
    return static_cast<ASErr>(code);
}

// A numeric entry read through the host's string-to-real, rounded toward
// zero and taken as a 16-bit value, so "-108" compares equal to the code -108.
bool NumericCode(const char* entry, ASErr& code) {
    if (User() == nullptr) return false;
    unsigned char pstring[kBufferSize];
    if (!ToPascalString(entry, pstring)) return false;
    AIReal value = 0;
    if (User()->AIStringToReal(pstring, &value) != kNoErr) return false;
    double truncated = std::trunc(static_cast<double>(value));
    if (!std::isfinite(truncated)) return false;
    // Out-of-range reals would not convert; only the low 16 bits count anyway.
    truncated = std::fmod(truncated, 65536.0);
    const auto wide = static_cast<std::int32_t>(truncated);
    code = static_cast<ASErr>(static_cast<std::int16_t>(static_cast<std::uint16_t>(wide & 0xFFFF)));
    return true;
}

bool ReadEntry(SPPluginRef self, ASInt32 index, char* buffer) {
    buffer[0] = '\0';
    return AdmBasic()->GetIndexString(self, kErrorStringList, index, buffer, static_cast<ASInt32>(kBufferSize)) ==
           kNoErr;
}

void CodeText(ASErr code, char* text) {
    text[0] = '\0';
    const auto bits = static_cast<std::uint32_t>(code);
    const std::uint32_t upper = bits >> 16;
    if (upper == 0 || upper == 0xFFFF) {
        unsigned char pstring[kBufferSize] = {};
        if (User() != nullptr && User()->AIRealToString(static_cast<AIReal>(code), 0, pstring) == kNoErr)
            FromPascalString(pstring, text, kBufferSize);
        return;
    }
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((bits >> (8 * (3 - i))) & 0xFF);
    text[4] = '\0';
}

ASErr ErrorDialogInit(ADMDialogRef dialog) {
    void* userData = nullptr;
    ASErr error = AdmDialog()->GetUserData(dialog, &userData);
    if (error != kNoErr) return error;
    const auto* text = static_cast<const char*>(userData);

    ADMItemRef item = nullptr;
    error = AdmDialog()->GetItem(dialog, 1, &item);
    if (error != kNoErr) return error;
    if (item != nullptr) AdmItem()->SetNotifyProc(item, DefaultNotifyProc);

    error = AdmDialog()->GetItem(dialog, 2, &item);
    if (error != kNoErr) return error;
    if (item != nullptr && text != nullptr) AdmItem()->SetText(item, text);

    error = AdmDialog()->GetItem(dialog, 3, &item);
    if (error != kNoErr) return error;
    if (item != nullptr && text != nullptr) AdmItem()->SetText(item, text + kBufferSize);
    return kNoErr;
}

} // namespace

bool ToPascalString(const char* text, unsigned char* pstring) {
    const std::size_t length = std::strlen(text);
    if (length > 255) return false;
    pstring[0] = static_cast<unsigned char>(length);
    std::memcpy(pstring + 1, text, length);
    return true;
}

void FromPascalString(const unsigned char* pstring, char* text, std::size_t size) {
    std::size_t length = pstring[0];
    if (length >= size) length = size - 1;
    std::memcpy(text, pstring + 1, length);
    text[length] = '\0';
}

bool LookUpError(SPPluginRef self, ASErr code, ErrorText& text) {
    text.message[0] = '\0';
    text.code[0] = '\0';

    char entry[kBufferSize];
    ASInt32 index = 1;
    bool found = false;
    ReadEntry(self, index, entry);
    while (entry[0] != '\0') {
        ASErr entryCode = 0;
        bool usable = true;
        if (IsNumericEntry(entry))
            usable = NumericCode(entry, entryCode);
        else
            entryCode = FourCharCode(entry);
        if (usable && entryCode == code) {
            found = true;
            break;
        }
        index += 2;
        if (!ReadEntry(self, index, entry)) break;
    }

    // Found: the message after the code. Otherwise the last message of the
    // list, which is the fallback for every code the list does not name.
    const ASInt32 messageIndex = found ? index + 1 : index - 1;
    if (messageIndex >= 1 && !ReadEntry(self, messageIndex, text.message)) return false;
    CodeText(code, text.code);
    return true;
}

void ReportError(SPPluginRef self, ASErr code) {
    if (code == kNoErr || code == kCancelErr) return;
    if (AdmBasic() == nullptr || AdmDialog() == nullptr) return;

    // The dialog's user data: the message, then directly the code text.
    char buffer[2 * kBufferSize];
    ErrorText text{};
    if (!LookUpError(self, code, text)) return;
    std::memcpy(buffer, text.message, kBufferSize);
    std::memcpy(buffer + kBufferSize, text.code, kBufferSize);

    ASInt32 result = 0;
    AdmDialog()->Modal(self, "Error Dialog", kErrorDialogId, kADMModalDialogStyle, ErrorDialogInit, buffer, &result);
}

} // namespace frame
