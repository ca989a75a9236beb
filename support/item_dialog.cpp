// The item dialog builder: value lists made into host dialog records, and
// the edited state read back.
#include "support/item_dialog.h"

#include <cstring>

#include "support/startup.h"

namespace {

// Where each of an item's eight values stands.
enum ItemValuePosition : size_t {
    ValueType,
    ValueLeft,
    ValueTop,
    ValueRight,
    ValueFocus,
    ValueParameter,
    ValueFlags,
    ValueData,
    ValuesPerItem
};

constexpr int32_t NoItemClosed = -1;
constexpr size_t MaxItemTextLength = DialogItemTextSize - 1;

// Host arithmetic on 32-bit fields wraps instead of overflowing.
int32_t WrappingAdd(int32_t value, int32_t delta) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}

template <typename T>
T* Referenced(const ItemValue& value) {
    return reinterpret_cast<T*>(value.Payload);
}

uintptr_t ParameterOf(const ItemValue& value) {
    switch (value.Kind) {
        case ValueKind::Boolean: return value.Payload & 0xFF;
        case ValueKind::Reference: {
            const uint8_t* variable = Referenced<uint8_t>(value);
            return variable != nullptr ? *variable : 0;
        }
        case ValueKind::TextPointer: return value.Payload;
        case ValueKind::Integer: break;
    }
    return 0;
}

// Fills the zeroed Text; a text longer than the field is shown cut, and its
// whole text is kept in wholeText so an unedited read-back does not cut it.
// False when memory for the whole text ran short.
bool FillText(DialogItemRecord& item, const ItemValue& value, Text& wholeText) {
    std::memset(item.Text, 0, sizeof item.Text);
    const char* source = nullptr;
    if (value.Kind == ValueKind::Integer) {
        source = LookupMessage(static_cast<int32_t>(value.Payload));
    } else if (value.Kind == ValueKind::Reference) {
        const BasicText* variable = Referenced<BasicText>(value);
        if (variable != nullptr) {
            source = variable->c_str();
            if (std::strlen(source) > MaxItemTextLength && !wholeText.Assign(source)) return false;
        }
    }
    if (source != nullptr) CopyTextBounded(item.Text, source, MaxItemTextLength);
    return true;
}

// Fills one record per whole group of eight values. cutTexts receives, for
// each item whose referenced text was too long for the record, its whole text.
// False when memory for such a text ran short.
bool BuildItems(const ItemValue* values, OwnedArray<DialogItemRecord>& items, OwnedArray<Text>& cutTexts) {
    bool firstButtonToCome = true;
    for (size_t k = 0; k < items.size(); ++k) {
        const ItemValue* v = &values[k * ValuesPerItem];
        DialogItemRecord& item = items[k];
        item.ItemType = static_cast<int32_t>(v[ValueType].Payload);
        item.Left = static_cast<int32_t>(v[ValueLeft].Payload);
        item.Top = static_cast<int32_t>(v[ValueTop].Payload);
        item.Right = static_cast<int32_t>(v[ValueRight].Payload);
        item.Bottom = 0;
        item.HasFocus = (v[ValueFocus].Payload & 0xFF) != 0 ? HostTrue : HostFalse;
        item.Parameter = ParameterOf(v[ValueParameter]);
        item.ItemFlags = static_cast<uint32_t>(v[ValueFlags].Payload);
        item.IsDefault = HostFalse;
        if (item.ItemType == ButtonItemType && firstButtonToCome) {
            item.IsDefault = HostTrue;
            firstButtonToCome = false;
        }
        if (!FillText(item, v[ValueData], cutTexts[k])) return false;
    }
    return true;
}

// Copies each item's parameter byte and text into the variables referenced.
// Every new text is made before any variable changes: false, and no variable
// touched, when memory ran short.
bool ReadBackItems(const ItemValue* values, const OwnedArray<DialogItemRecord>& items,
                   const OwnedArray<Text>& cutTexts) {
    OwnedArray<Text> texts;
    if (!texts.Allocate(items.size())) return false;
    for (size_t k = 0; k < items.size(); ++k) {
        const ItemValue& data = values[k * ValuesPerItem + ValueData];
        if (data.Kind != ValueKind::Reference || Referenced<BasicText>(data) == nullptr) continue;
        const DialogItemRecord& item = items[k];
        // The host's text need not be terminated within the field.
        const void* zero = std::memchr(item.Text, '\0', sizeof item.Text);
        const size_t length =
            zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - item.Text) : sizeof item.Text;
        const Text& whole = cutTexts[k];
        const bool shownAsCut = !whole.empty() && length == MaxItemTextLength &&
                                std::memcmp(whole.c_str(), item.Text, MaxItemTextLength) == 0;
        // Shown cut and left as shown: the whole text stays.
        const bool made =
            shownAsCut ? texts[k].Assign(whole.c_str(), whole.size()) : texts[k].Assign(item.Text, length);
        if (!made) return false;
    }
    for (size_t k = 0; k < items.size(); ++k) {
        const ItemValue* v = &values[k * ValuesPerItem];
        if (v[ValueParameter].Kind == ValueKind::Reference) {
            if (uint8_t* variable = Referenced<uint8_t>(v[ValueParameter])) *variable = items[k].Parameter & 0xFF;
        }
        if (v[ValueData].Kind != ValueKind::Reference) continue;
        if (BasicText* variable = Referenced<BasicText>(v[ValueData])) variable->swap(texts[k]);
    }
    return true;
}

}  // namespace

int32_t RunItemDialog(const char* topic, const ItemValue* values, size_t valueCount) {
    const size_t count = valueCount / ValuesPerItem;
    DialogServiceProc showDialog = HostStartupRecord.DialogService;
    if (count == 0 || showDialog == nullptr) return NoItemClosed;
    OwnedArray<DialogItemRecord> items;
    OwnedArray<Text> cutTexts;
    if (!items.Allocate(count) || !cutTexts.Allocate(count) || !BuildItems(values, items, cutTexts))
        return NoItemClosed;
    // The frame is sized from item 0's right and the last item's top, both as
    // built, before item 0 is laid out as the frame.
    const int32_t frameRight = items[0].Right;
    const int32_t lastTop = items[count - 1].Top;
    items[0].Top = 1;
    items[0].Bottom = WrappingAdd(lastTop, 1);
    const int32_t result = showDialog(HostStartupRecord.ModuleId, -1, -1, WrappingAdd(frameRight, 4),
                                      WrappingAdd(lastTop, 3), topic, items.data(), static_cast<int32_t>(count));
    if (result != NoItemClosed && !ReadBackItems(values, items, cutTexts)) return NoItemClosed;
    return result;
}
