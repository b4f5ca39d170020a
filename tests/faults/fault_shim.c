/* Faults of the field, made on purpose for the end-to-end tests: loaded with
 * LD_PRELOAD into a program under test, it makes reading a chosen file fail
 * part-way, or memory run out once a chosen file has been opened.
 *
 *   PLOTDXF_FAIL_READ_FILE=NAME   reads of a file whose name ends with NAME...
 *   PLOTDXF_FAIL_READ_AFTER=N     ...fail with EIO after N successful reads
 *   PLOTDXF_FAIL_ALLOC_AFTER=TEXT once a file whose name contains TEXT is
 *                                 opened, every allocation of 16 KiB or more
 *                                 fails, as when the address space is spent
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
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
    if (descriptor >= 0) Opened(pattern, NULL, descriptor);
    return descriptor;
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
