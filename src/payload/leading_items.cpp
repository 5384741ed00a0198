#include "payload/leading_items.h"

namespace velmoran::payload {
namespace {

Bytes ReadPicture(PayloadReader& reader, const HeaderNumber& size) {
    if (size.Empty()) return {};
    MemorySink picture;
    DiscardingSink nowhere;
    const bool shown = size.Value() <= kMaxPictureBytes;
    reader.InflateItem(size.Value(), shown ? static_cast<ByteSink&>(picture) : nowhere);
    return std::move(picture.bytes);
}

}  // namespace

LeadingItemsRead ReadLeadingItems(PayloadReader& reader, OnPictureFailure onPictureFailure) {
    LeadingItemsRead read;
    reader.SeekItemArea();
    for (std::size_t i = 0; i < kLeadingItemCount; ++i) {
        const LeadingItem& item = kLeadingItems[i];
        try {
            if (item.compressed) {
                read.items[i] = ReadPicture(reader, reader.Manifest().leadingItemSizes[i]);
            } else {
                MemorySink text;
                reader.ReadLeadingItem(item, text);
                read.items[i] = std::move(text.bytes);
            }
        } catch (const std::exception& failure) {
            if (item.compressed && onPictureFailure == OnPictureFailure::ReadOn) continue;
            read.failed = &item;
            read.failure = failure.what();
            break;
        }
    }
    return read;
}

}  // namespace velmoran::payload
