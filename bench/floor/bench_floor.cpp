// The floors the table benchmarks compare against: what a plain C program does with the same
// file and the same durability, without Qt. Prints nanoseconds of the work on standard output.
//
// bench_floor read FILE        one read() of the whole file, then every field of every record:
//                              its padding trimmed and its bytes turned into UTF-16 text (what
//                              a reader hands on); "walk" also prints the time without the text.
// bench_floor pack FILE        read, drop the records marked deleted, write beside, fsync,
//                              rename over, fsync the folder.
// bench_floor rewrite FILE N   N times: change one record in memory, write the whole file
//                              beside, fsync, rename over, fsync the folder; prints the median.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int64_t now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "bench_floor: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

// A buffer left unfilled, as a reader that overwrites it at once would take it.
struct Buffer
{
    std::unique_ptr<char[]> bytes;
    size_t length = 0;
    char *data() const { return bytes.get(); }
    size_t size() const { return length; }
};

struct Table
{
    Buffer bytes;
    size_t header = 0, length = 0, count = 0;
    std::vector<int> fieldLengths;
};

Table readTable(const char *path)
{
    Table t;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        die(path);
    struct stat st
    { };
    if (fstat(fd, &st) != 0)
        die(path);
    t.bytes.length = size_t(st.st_size);
    t.bytes.bytes.reset(new char[t.bytes.length]);
    size_t done = 0;
    while (done < t.bytes.size()) {
        const ssize_t n = read(fd, t.bytes.data() + done, t.bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            die(path);
        done += size_t(n);
    }
    close(fd);
    const auto *u = reinterpret_cast<const unsigned char *>(t.bytes.data());
    t.count = u[4] | u[5] << 8 | u[6] << 16 | size_t(u[7]) << 24;
    t.header = u[8] | u[9] << 8;
    t.length = u[10] | u[11] << 8;
    for (size_t at = 32; at < t.header && u[at] != 0x0D; at += 32)
        t.fieldLengths.push_back(u[at + 16]);
    return t;
}

void writeBeside(const char *path, const char *const *parts, const size_t *sizes, int count)
{
    const std::string target(path);
    const std::string temp = target + ".floor";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        die("open");
    for (int i = 0; i < count; ++i) {
        size_t done = 0;
        while (done < sizes[i]) {
            const ssize_t n = write(fd, parts[i] + done, sizes[i] - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                die("write");
            done += size_t(n);
        }
    }
    if (fsync(fd) != 0 || close(fd) != 0)
        die("fsync");
    if (rename(temp.c_str(), path) != 0)
        die("rename");
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
}

// Windows-1252 to UTF-16, the table a reader needs for 0x80..0x9F.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int readFloor(const char *path)
{
    const int64_t start = now();
    const Table t = readTable(path);
    const int64_t read = now();
    uint64_t sum = 0;
    // The bare walk: every field's trimmed extent and every byte of it.
    for (size_t r = 0; r < t.count; ++r) {
        const char *rec = t.bytes.data() + t.header + r * t.length;
        size_t at = 1;
        for (const int len : t.fieldLengths) {
            size_t e = size_t(len);
            while (e > 0 && (rec[at + e - 1] == ' ' || rec[at + e - 1] == 0))
                --e;
            for (size_t i = 0; i < e; ++i)
                sum += uint8_t(rec[at + i]);
            at += size_t(len);
        }
    }
    const int64_t walked = now();
    char16_t text[256];
    for (size_t r = 0; r < t.count; ++r) {
        const char *rec = t.bytes.data() + t.header + r * t.length;
        size_t at = 1;
        for (const int len : t.fieldLengths) {
            size_t e = size_t(len);
            while (e > 0 && (rec[at + e - 1] == ' ' || rec[at + e - 1] == 0))
                --e;
            for (size_t i = 0; i < e; ++i) {
                const auto b = uint8_t(rec[at + i]);
                text[i] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b);
            }
            sum += e ? text[e - 1] : 0;
            at += size_t(len);
        }
    }
    const int64_t end = now();
    // The text floor is the read and the walk that makes text; the bare one the read and a walk.
    std::printf("%lld\nwalk %lld\nsum %llu\n", static_cast<long long>((read - start) + (end - walked)),
                static_cast<long long>(walked - start), static_cast<unsigned long long>(sum));
    return 0;
}

int packFloor(const char *path)
{
    const int64_t start = now();
    Table t = readTable(path);
    char *base = t.bytes.data() + t.header;
    size_t kept = 0;
    for (size_t r = 0; r < t.count; ++r) {
        const char *rec = base + r * t.length;
        if (*rec == '*')
            continue;
        if (kept != r)
            std::memmove(base + kept * t.length, rec, t.length);
        ++kept;
    }
    auto *u = reinterpret_cast<unsigned char *>(t.bytes.data());
    for (int i = 0; i < 4; ++i)
        u[4 + i] = uint8_t(kept >> (8 * i));
    base[kept * t.length] = 0x1A;
    const char *parts[] = {t.bytes.data()};
    const size_t sizes[] = {t.header + kept * t.length + 1};
    writeBeside(path, parts, sizes, 1);
    std::printf("%lld\n", static_cast<long long>(now() - start));
    return 0;
}

int rewriteFloor(const char *path, int times)
{
    Table t = readTable(path);
    std::vector<int64_t> ns;
    for (int i = 0; i < times; ++i) {
        const int64_t start = now();
        char *rec = t.bytes.data() + t.header + size_t(i * 7919 % int(t.count)) * t.length;
        std::snprintf(rec + 1, t.length - 1, "%-*d", int(t.length - 2), i);
        rec[t.length - 1] = ' ';
        const char *parts[] = {t.bytes.data()};
        const size_t sizes[] = {t.bytes.size()};
        writeBeside(path, parts, sizes, 1);
        ns.push_back(now() - start);
    }
    std::sort(ns.begin(), ns.end());
    std::printf("%lld\n", static_cast<long long>(ns[ns.size() / 2]));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "read") == 0)
        return readFloor(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "pack") == 0)
        return packFloor(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "rewrite") == 0)
        return rewriteFloor(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "uso: bench_floor read|pack ARCHIVO | rewrite ARCHIVO N\n");
    return 2;
}
