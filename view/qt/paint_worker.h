// A thread of its own that paints one job at a time beside the caller's: the
// lower band of a picture while the caller paints the upper. It stays for
// the life of the object, so what it caches per thread (fonts, glyphs) lasts
// from one picture to the next.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace view::qt {

class PaintWorker {
  public:
    PaintWorker();
    ~PaintWorker(); // waits for the job under way
    PaintWorker(const PaintWorker&) = delete;
    PaintWorker& operator=(const PaintWorker&) = delete;

    // Starts `job` on the thread; the previous one must have been waited for.
    void Start(std::function<void()> job);
    // Waits for the job started; what it threw is thrown here.
    void Wait();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool ending_ = false;
    std::exception_ptr failure_;
    std::thread thread_; // last: it starts once the rest is made
};

} // namespace view::qt
