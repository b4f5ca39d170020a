// The one way every output file is written: a temporary file in the target's
// folder, flushed to the disk and renamed onto the target only once it is
// complete, so that a failed write, a signal or a power cut never leaves a
// truncated file nor damages an existing one. A target that is a symbolic
// link is the file the link points to: that file is replaced, in its own
// folder, and the link stays. A character device or a pipe (/dev/null,
// /dev/stdout) is written directly: it has nothing to replace. A file that
// is there is replaced only when it is empty or of the kind written
// (platform/file_kind.h): a program never writes over a file it did not make.
#pragma once

#include "platform/file_kind.h"
#include "platform/interruption.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class OutputSharing {
    Ordinary,
    // For a folder that other users share (the temp folder): readable by the
    // owner only, a link under the target's name is not followed, and a file
    // of another user (or a device) under that name is left alone.
    OwnerOnly,
};

class ReplacingFile {
  public:
    // `writes`: the kind of file written (a DXF drawing, a PNG picture...).
    ReplacingFile(std::string target, FileKind writes,
                  OutputSharing sharing = OutputSharing::Ordinary);
    // Removes the temporary file unless it was committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file. False when the target cannot be replaced (a
    // folder, a read-only file, a file of another kind) or the folder takes no
    // new file. Open(),
    // SyncToDisk() and MoveIntoPlace() are the system's part, in
    // replacing_file_posix.cpp and replacing_file_windows.cpp.
    bool Open();
    std::FILE* File() const { return file_.get(); }
    // The temporary file's name, for a writer that opens it by name; empty
    // for a device written directly (never an owner-only file).
    const std::string& TemporaryName() const { return temporary_; }
    // Closes the temporary file, kept under its name, for a writer that opens
    // it itself and wants it to itself (a printer's PDF on Windows).
    bool CloseForWriterByName();

    // Flushes the file to the disk, closes it (unless closed already) and
    // renames it onto the target.
    // `writeError` is the errno value of an earlier failed write to File(); it
    // abandons the file instead. False on any failure.
    bool Commit(int writeError);

    // "<target>: <reason>" after a failure.
    const std::string& Error() const { return error_; }

  private:
    // The temporary file's name: beside the destination, its name and
    // `suffix`, or a name of its own in that folder when that would be too
    // long for a file name.
    std::string TemporaryNameWith(std::string_view suffix) const;
    // True when the file under the destination's name may be replaced by
    // the kind written; else fails, saying what that file is.
    bool MayReplaceDestination();
    // Takes `name`, just created, as the temporary file.
    void KeepTemporary(std::string name);
    // Puts the temporary file's content on the disk: through File(), or by
    // name once closed.
    bool SyncToDisk();
    // Puts the closed temporary file in the target's place.
    bool MoveIntoPlace();
    // Takes over the open file's descriptor for writing.
    bool Adopt(int descriptor);
    bool Fail(int error);
    bool Fail(const std::string& reason);
    void Discard();

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::string target_; // the name as given, for messages
    FileKind writes_;
    OutputSharing sharing_;
    std::string destination_; // the file replaced: the target, links followed
    std::string temporary_;   // empty when there is no temporary file to remove
    std::optional<RemovedOnInterruption> removal_; // of the temporary file
    bool direct_ = false;                          // a device or pipe, written in place
    std::unique_ptr<std::FILE, Closer> file_;
    std::string error_;
};

// Writes `bytes`, a file of kind `writes`, as the whole new content of `path`
// through a ReplacingFile; false, with "<path>: <reason>" in `error`, when
// that fails.
bool ReplaceFileWith(const std::string& path, FileKind writes, std::string_view bytes,
                     std::string& error);

} // namespace platform
