#pragma once
// Limits on what the dupe files, the spool files and the point program's request file may make
// the engine hold. All of them are written by other programs or survive crashes, so they are read
// as untrusted input.
#include <cstddef>
#include <cstdint>

namespace SpoolLimits {

// A dupe database file. The dialog offers up to 200,000 entries (3.2 MB as MD5 digests); a box
// file may ask for more, but a file beyond this is damaged rather than large.
inline constexpr int64_t kMaxDupeFileSize = int64_t(512) << 20;

// A pending record of a news batch (BatchRecords.h): its paths and lines, and the batch's new dupe
// entries, no more of them than the database keeps, as lines of hex (at most four times the bytes
// of an entry in the database file). A larger file was not written here.
inline constexpr int64_t kMaxBatchRecordSize = 4 * kMaxDupeFileSize + (int64_t(1) << 20);

// An outgoing mail file M*.OUT. Mail with attachments runs to some megabytes; the SMTP servers
// this talks to refuse far less than this.
inline constexpr int64_t kMaxOutgoingMailSize = int64_t(256) << 20;

// request.id: fixed records, so a file of more records than this is not the point program's.
inline constexpr int64_t kMaxRequestRecords = 100000;

// How many names NewSpoolFileName tries in one directory before it gives up: a spool that holds
// this many m<N>.msg files in a row is not being imported.
inline constexpr int64_t kMaxSpoolNameTries = 10000000;

// A file attachment's name as written into the extraction directory: below the file system's
// 255, so that a numbered copy (name.9999) still fits.
inline constexpr size_t kMaxAttachmentNameLength = 240;

// How many numbered copies (name.1, name.2, ...) an attachment may get beside the first.
inline constexpr int kMaxAttachmentCopies = 9999;

}  // namespace SpoolLimits
