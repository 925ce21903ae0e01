// Result codes of the Quillkit API.
#pragma once

namespace quillkit {

enum class Status {
    Ok = 0,
    InvalidArgument,   // a value out of range (page size, settings, null data)
    WrongState,        // call out of order: no document, no page, page already open
    IoError,           // the file could not be created or written
    BadMetafile,       // the EMF bytes are not a valid metafile (drawn as far as valid)
    OutOfMemory,
    Internal           // an unexpected fault inside the writer; the message says which
};

// A short English name of the code, e.g. "invalid argument".
const char* statusName(Status s);

}  // namespace quillkit
