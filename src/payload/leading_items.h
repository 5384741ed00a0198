#pragma once
// The pictures and texts between the header and the file data, read in their
// order, as every reader of an installer takes them.

#include <string>

#include "common/byte_io.h"
#include "payload/payload_reader.h"

namespace velmoran::payload {

struct LeadingItemsRead {
    // In kLeadingItems order: the splash and icon pictures (JPEG or BMP bytes;
    // empty when absent or too large to show), the about text and the licence.
    Bytes items[kLeadingItemCount];
    // The item reading stopped at, and why. The failure is the caller's to
    // report where it needs the item: the wizard tells of a damaged text only
    // after it has claimed the run.
    const LeadingItem* failed = nullptr;
    std::string failure;
};

// What a picture that cannot be read does: the wizard shows none and reads on
// from where its stream stopped; the other readers stop there.
enum class OnPictureFailure { ReadOn, Stop };

// Reads the leading items from the item area's start, and stops at a text that
// cannot be read. A picture larger than kMaxPictureBytes is read past and left
// empty.
LeadingItemsRead ReadLeadingItems(PayloadReader& reader, OnPictureFailure onPictureFailure);

}  // namespace velmoran::payload
