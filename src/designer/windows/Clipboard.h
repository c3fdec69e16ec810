#pragma once

// Objects on the system clipboard, so that they move between two running designers: Copy and
// Cut put the records there (a private type holding their bytes) with a picture of them for
// other programs; Paste takes records that another designer put there.

#include "document/KVTFile.h"

namespace kovet::designer {

inline constexpr char kRecordsMimeType[] = "application/x-kovet-records";

// The records, and their picture drawn on the page of `form`.
void PublishRecords(const TKVTFile& records, TKVT& form);
// Replaces `into` with the records another program put on the clipboard; false (and `into`
// untouched) when there are none, or they are the ones this program put there.
bool TakeForeignRecords(TKVTFile& into);

// The flavours an enhanced metafile comes in on a Linux clipboard, in the order they are
// taken: the common MIME types and the one LibreOffice offers.
inline constexpr const char* kMetafileMimeTypes[] = {"image/emf", "image/x-emf",
                                                     "application/x-openoffice-emf;windows_formatname=\"Image EMF\""};
// The enhanced metafile on the clipboard; empty when there is none.
std::vector<std::uint8_t> ClipboardMetafile();

} // namespace kovet::designer
