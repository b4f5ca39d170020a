/* Faults of the field, made on purpose for the end-to-end tests: loaded with
 * LD_PRELOAD into a program under test, it makes reading a chosen file fail
 * part-way, memory run out once a chosen file has been opened, writing a
 * chosen temporary file meet a full disk or a signal, and it logs the syncs
 * and renames of the files written.
 *
 *   PLOTDXF_FAIL_READ_FILE=NAME   reads of a file whose name ends with NAME...
 *   PLOTDXF_FAIL_READ_AFTER=N     ...fail with EIO after N successful reads
 *   PLOTDXF_FAIL_ALLOC_AFTER=TEXT once a file whose name contains TEXT is
 *                                 opened, every allocation of 16 KiB or more
 *                                 fails, as when the address space is spent
 *   PLOTDXF_WRITE_FILE=TEXT       writes (fwrite) to a file made by mkstemp
 *                                 whose name contains TEXT...
 *   PLOTDXF_WRITE_FAIL_AFTER=N    ...fail with ENOSPC once N bytes are written
 *   PLOTDXF_WRITE_SIGNAL=S        ...or raise signal S at the first write
 *   PLOTDXF_CREATE_SIGNAL=S       ...or raise signal S as soon as it is made,
 *                                 before mkstemp returns
 *   PLOTDXF_SYNC_LOG=FILE         every fsync and rename is appended to FILE,
 *                                 a line each: "fsync NAME", "rename FROM TO"
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kLargeAllocation = 16 * 1024 };

extern void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* block, size_t size);

static FILE* watchedStream;
static int watchedDescriptor = -1;
static long readsLeft;
static int memorySpent;
static int writtenDescriptor = -1;
static FILE* writtenStream;
static long long bytesWritten;

static int EndsWith(const char* text, const char* end) {
    const size_t length = strlen(text), endLength = strlen(end);
    return length >= endLength && strcmp(text + length - endLength, end) == 0;
}

/* Notes a file just opened: the one whose reads fail, or the one after which
 * memory runs out. */
static void Opened(const char* name, FILE* stream, int descriptor) {
    const char* readFile = getenv("PLOTDXF_FAIL_READ_FILE");
    if (readFile && *readFile && EndsWith(name, readFile)) {
        const char* after = getenv("PLOTDXF_FAIL_READ_AFTER");
        readsLeft = after ? atol(after) : 0;
        watchedStream = stream;
        watchedDescriptor = stream ? fileno(stream) : descriptor;
    }
    const char* allocAfter = getenv("PLOTDXF_FAIL_ALLOC_AFTER");
    if (allocAfter && *allocAfter && strstr(name, allocAfter)) memorySpent = 1;
}

/* True when this read of `descriptor` is to fail. */
static int ReadFails(int descriptor) {
    if (descriptor < 0 || descriptor != watchedDescriptor) return 0;
    if (readsLeft > 0) {
        --readsLeft;
        return 0;
    }
    return 1;
}

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

FILE* fopen(const char* name, const char* mode) {
    FILE* stream = REAL(fopen)(name, mode);
    if (stream) Opened(name, stream, -1);
    return stream;
}

FILE* fopen64(const char* name, const char* mode) {
    FILE* stream = REAL(fopen64)(name, mode);
    if (stream) Opened(name, stream, -1);
    return stream;
}

int mkstemp(char* pattern) {
    const int descriptor = REAL(mkstemp)(pattern);
    if (descriptor < 0) return descriptor;
    Opened(pattern, NULL, descriptor);
    const char* writeFile = getenv("PLOTDXF_WRITE_FILE");
    if (writeFile && *writeFile && strstr(pattern, writeFile)) {
        writtenDescriptor = descriptor;
        writtenStream = NULL;
        bytesWritten = 0;
        const char* signalNumber = getenv("PLOTDXF_CREATE_SIGNAL");
        if (signalNumber && *signalNumber) raise(atoi(signalNumber));
    }
    return descriptor;
}

FILE* fdopen(int descriptor, const char* mode) {
    FILE* stream = REAL(fdopen)(descriptor, mode);
    if (stream && descriptor == writtenDescriptor) writtenStream = stream;
    return stream;
}

int fclose(FILE* stream) {
    if (stream == writtenStream) writtenStream = NULL;
    return REAL(fclose)(stream);
}

size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream) {
    if (stream != writtenStream || size == 0) return REAL(fwrite)(buffer, size, count, stream);
    const char* signalNumber = getenv("PLOTDXF_WRITE_SIGNAL");
    if (signalNumber && *signalNumber) raise(atoi(signalNumber));
    const char* failAfter = getenv("PLOTDXF_WRITE_FAIL_AFTER");
    const long long room = failAfter && *failAfter ? atoll(failAfter) - bytesWritten : LLONG_MAX;
    if (room >= (long long)(size * count)) {
        const size_t done = REAL(fwrite)(buffer, size, count, stream);
        bytesWritten += (long long)(done * size);
        return done;
    }
    /* As a full disk does: what fits is written, then the write fails. */
    const size_t fits = room > 0 ? (size_t)room / size : 0;
    const size_t done = fits > 0 ? REAL(fwrite)(buffer, size, fits, stream) : 0;
    bytesWritten += (long long)(done * size);
    errno = ENOSPC;
    return done;
}

/* Appends one line to the sync log, if one is asked for. */
static void Log(const char* what, const char* first, const char* second) {
    const char* log = getenv("PLOTDXF_SYNC_LOG");
    if (!log || !*log) return;
    char line[3 * PATH_MAX];
    const int length = snprintf(line, sizeof line, "%s %s%s%s\n", what, first,
                                second ? " " : "", second ? second : "");
    const int out = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (out < 0) return;
    if (length > 0) {
        const ssize_t ignored = write(out, line, (size_t)length); /* a test sees a line missing */
        (void)ignored;
    }
    close(out);
}

int fsync(int descriptor) {
    char link[64], name[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
    const ssize_t length = readlink(link, name, sizeof name - 1);
    name[length > 0 ? length : 0] = '\0';
    Log("fsync", name, NULL);
    return REAL(fsync)(descriptor);
}

int rename(const char* from, const char* to) {
    Log("rename", from, to);
    return REAL(rename)(from, to);
}

size_t fread(void* buffer, size_t size, size_t count, FILE* stream) {
    if (stream == watchedStream && ReadFails(fileno(stream))) {
        errno = EIO;
        return 0;
    }
    return REAL(fread)(buffer, size, count, stream);
}

ssize_t read(int descriptor, void* buffer, size_t count) {
    if (ReadFails(descriptor)) {
        errno = EIO;
        return -1;
    }
    return REAL(read)(descriptor, buffer, count);
}

void* malloc(size_t size) {
    if (memorySpent && size >= kLargeAllocation) {
        errno = ENOMEM;
        return NULL;
    }
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    if (memorySpent && size != 0 && count >= kLargeAllocation / size) {
        errno = ENOMEM;
        return NULL;
    }
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    if (memorySpent && size >= kLargeAllocation) {
        errno = ENOMEM;
        return NULL;
    }
    return __libc_realloc(block, size);
}
