#pragma once
// Limits on what box files, newsgroup lists and box chains may make the engine hold. Box files
// and lists come from the point program or the user and are read as untrusted input.
#include <cstddef>
#include <cstdint>

namespace KestroLimits {

// A box file (.bfg or .cfg) holds a few dozen short lines; anything larger is not a box file.
inline constexpr int64_t kMaxBoxFileSize = 1 << 20;

// Newsgroup lists, full group lists and Message-ID lists. A full group list of a large server
// holds some 100,000 lines of about 30 bytes; this leaves ample room.
inline constexpr int64_t kMaxListFileSize = int64_t(256) << 20;

// Boxes one queueing may load through further-box names (each one is a file on disk, so a real
// chain is short); a chain longer than this is cut and logged.
inline constexpr int kMaxBoxesPerQueueing = 1000;

// The list of partly fetched mails of a box (<box>.big). An id is a POP3 unique id (at most 70
// characters) or a Message-ID, which fits on a header line.
inline constexpr size_t kMaxPartialMailIdLength = 998;
// Only mails above the size limit that are still on the server are listed, so the list stays
// small; a file larger than this was not written by the engine. When more ids than fit are to be
// kept, the oldest are left out (their mails may be stored in part once more).
inline constexpr int64_t kMaxPartialMailFileSize = int64_t(1) << 20;

// The list of mails stored whole but maybe still on the server (<box>.got): a line per mail of
// the mailbox at most (an id of at most 70 characters and a temporary name). A larger file was
// not written by the engine.
inline constexpr int64_t kMaxFetchedMailFileSize = int64_t(64) << 20;

// What a run log line shows of a server's reply. A refusal of several lines is a paragraph at
// most; a reply of thousands of lines or of a line of megabytes is cut here.
inline constexpr size_t kMaxReplyTextLogged = 2000;

}  // namespace KestroLimits
