// The file a drawing is written to: a temporary file in the target's folder
// that is renamed onto the target only once it is complete, so a failed
// write never leaves a truncated drawing nor damages an existing file. A
// target that is a symbolic link is the file the link points to: that file
// is replaced, in its own folder, and the link stays.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace cadlib {

enum class OutputSharing {
    Ordinary,
    // For a folder that other users share (the temp folder): readable by the
    // owner only, a link under the target's name is not followed, and a file
    // of another user under that name is left alone.
    OwnerOnly,
};

class DxfOutputFile {
  public:
    explicit DxfOutputFile(std::string target, OutputSharing sharing = OutputSharing::Ordinary);
    // Removes the temporary file unless it was committed.
    ~DxfOutputFile();
    DxfOutputFile(const DxfOutputFile&) = delete;
    DxfOutputFile& operator=(const DxfOutputFile&) = delete;

    // Creates the temporary file. False when the target cannot be replaced (a
    // folder, a read-only file) or the folder takes no new file. Open() and
    // MoveIntoPlace() are the system's part, in output_file_posix.cpp and
    // output_file_windows.cpp.
    bool Open();
    std::FILE* File() const { return file_.get(); }
    // The temporary file's name, for a writer that opens it by name.
    const std::string& TemporaryName() const { return temporary_; }

    // Closes the temporary file and renames it onto the target. `writeError`
    // is the errno value of an earlier failed write to File(); it abandons
    // the file instead. False on any failure.
    bool Commit(int writeError);

    // "<target>: <reason>" after a failure.
    const std::string& Error() const { return error_; }

  private:
    // Puts the closed temporary file in the target's place.
    bool MoveIntoPlace();
    // Takes over the temporary file's descriptor for writing.
    bool Adopt(int descriptor);
    bool Fail(int error);
    bool Fail(const std::string& reason);
    void Discard();

    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::string target_; // the name as given, for messages
    OutputSharing sharing_;
    std::string destination_; // the file replaced: the target, links followed
    std::string temporary_;   // empty when there is no temporary file to remove
    std::unique_ptr<std::FILE, Closer> file_;
    std::string error_;
};

} // namespace cadlib
