// Export over files that exist, through the real window run by
// korvanta-driver as an unprivileged user (nobody, when the tests run as
// root, who would pass every permission check): permissions, owner,
// symbolic and hard links are kept, a read-only file is refused and left
// as it was, and a full disk (a small tmpfs or ext2 image, mounted only by
// root) changes nothing.
#include "excel/atomic_file.h"
#include "excel/export.h"
#include "excel/sheets.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

bool IsRoot() { return ::geteuid() == 0; }

// A fresh folder the unprivileged user owns, removed at the end.
class OwnedFolder {
public:
    OwnedFolder()
    {
        char name[] = "/tmp/korvanta-target-XXXXXX";
        path_ = ::mkdtemp(name);
        ::chmod(path_.c_str(), 0755);
        if (IsRoot()) {
            EXPECT_EQ(::chown(path_.c_str(), kNobody, kNoGroup), 0);
        }
    }
    ~OwnedFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    OwnedFolder(const OwnedFolder&) = delete;
    OwnedFolder& operator=(const OwnedFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

void WriteText(const fs::path& path, const std::string& text, mode_t mode, bool asNobody = true)
{
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    ::chmod(path.c_str(), mode);
    if (IsRoot() && asNobody) ::chown(path.c_str(), kNobody, kNoGroup);
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The driver as the unprivileged user can run it: the build tree may lie
// below a folder only root may enter (a checkout in /root), so a copy is
// made in a folder of its own for the whole run.
const fs::path& DriverForNobody()
{
    static const OwnedFolder folder;
    static const fs::path driver = [] {
        const fs::path copy = folder / "korvanta-driver";
        fs::copy_file(KORVANTA_DRIVER, copy, fs::copy_options::overwrite_existing);
        fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        return copy;
    }();
    return driver;
}

// Runs the driver on the script as the unprivileged user; its output.
std::string RunDriver(const OwnedFolder& folder, const std::string& script)
{
    const fs::path& driver = DriverForNobody();
    const fs::path file = folder / "script.txt";
    WriteText(file, script, 0644);
    const fs::path output = folder / "output.txt";
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("HOME", folder.Path().c_str(), 1);
        if (IsRoot()) {
            ::setgroups(0, nullptr);
            if (::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
        }
        ::execl(driver.c_str(), driver.c_str(), file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "driver status " << status;
    return ReadText(output);
}

// Two numbers typed into the paired t-test, exported to path.
std::string ExportScript(const fs::path& path, const std::string& data = "type Text1(0) 1.5\ntype Text2(0) 7\n")
{
    return "click Command1(1)\n" + data + "answer-file " + path.string() + "\nmenu 导出数据到Excel\nprint message\n";
}

const std::string kSuccess = "message=提示|文件导出成功！\n";
const std::string kReadOnly =
    "message=提示|目标文件（或它所在的磁盘）是只读的，不能写入，原有文件未被改动。请另选文件名或先取消只读属性。\n";
const std::string kDiskFull = "message=提示|磁盘空间不足，文件导出失败，原有文件未被改动。\n";

bool HoldsTheExport(const fs::path& path)
{
    const auto read = korvanta::excel::ReadSheet(path, 0);
    return read.Ok() && read.rows.size() == 1 && read.rows[0][0].number == 1.5 && read.rows[0][1].number == 7;
}

struct stat Stat(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

// Only the files named are left in the folder: no temporary file stays.
void ExpectOnly(const fs::path& folder, std::vector<std::string> names)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != "script.txt" && entry.path().filename() != "output.txt")
            found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(found, names);
}

TEST(ExportTarget, KeepsWhatBelongsToAnExistingFile)
{
    const struct Case {
        const char* what;
        void (*prepare)(const OwnedFolder&);
        const char* exported; // the name chosen in the dialog
        std::string message;
        void (*check)(const OwnedFolder&);
    } cases[] = {
        {"a private file stays private", [](const OwnedFolder& f) { WriteText(f / "private.xls", "old", 0600); },
         "private.xls", kSuccess,
         [](const OwnedFolder& f) {
             EXPECT_EQ(Stat(f / "private.xls").st_mode & 07777, 0600u);
             EXPECT_EQ(Stat(f / "private.xls").st_uid, IsRoot() ? kNobody : ::geteuid());
             EXPECT_TRUE(HoldsTheExport(f / "private.xls"));
         }},
        {"a group-readable file keeps its mode past the umask",
         [](const OwnedFolder& f) { WriteText(f / "shared.csv", "old", 0664); }, "shared.csv", kSuccess,
         [](const OwnedFolder& f) { EXPECT_EQ(Stat(f / "shared.csv").st_mode & 07777, 0664u); }},
        {"a read-only file is refused and unchanged",
         [](const OwnedFolder& f) { WriteText(f / "locked.xlsx", "old", 0444); }, "locked.xlsx", kReadOnly,
         [](const OwnedFolder& f) {
             EXPECT_EQ(ReadText(f / "locked.xlsx"), "old");
             EXPECT_EQ(Stat(f / "locked.xlsx").st_mode & 07777, 0444u);
         }},
        {"a symbolic link stays and its target receives the data",
         [](const OwnedFolder& f) {
             fs::create_directory(f / "real");
             if (IsRoot()) ::chown((f / "real").c_str(), kNobody, kNoGroup);
             WriteText(f / "real" / "data.xls", "old", 0640);
             fs::create_symlink("real/data.xls", f / "link.xls");
         },
         "link.xls", kSuccess,
         [](const OwnedFolder& f) {
             EXPECT_TRUE(fs::is_symlink(f / "link.xls"));
             EXPECT_EQ(fs::read_symlink(f / "link.xls"), "real/data.xls");
             EXPECT_TRUE(HoldsTheExport(f / "real" / "data.xls"));
             EXPECT_EQ(Stat(f / "real" / "data.xls").st_mode & 07777, 0640u);
             ExpectOnly(f / "real", {"data.xls"});
         }},
        {"a link to a file not there yet makes the file",
         [](const OwnedFolder& f) { fs::create_symlink("made.xls", f / "dangling.xls"); }, "dangling.xls", kSuccess,
         [](const OwnedFolder& f) {
             EXPECT_TRUE(fs::is_symlink(f / "dangling.xls"));
             EXPECT_TRUE(HoldsTheExport(f / "made.xls"));
         }},
        {"a hard link is not split",
         [](const OwnedFolder& f) {
             WriteText(f / "one.xls", "old", 0600);
             fs::create_hard_link(f / "one.xls", f / "two.xls");
         },
         "one.xls", kSuccess,
         [](const OwnedFolder& f) {
             EXPECT_EQ(Stat(f / "one.xls").st_nlink, 2u);
             EXPECT_EQ(Stat(f / "one.xls").st_ino, Stat(f / "two.xls").st_ino);
             EXPECT_TRUE(HoldsTheExport(f / "two.xls"));
             EXPECT_EQ(Stat(f / "two.xls").st_mode & 07777, 0600u);
         }},
        {"a writable file of another owner keeps its owner",
         [](const OwnedFolder& f) { WriteText(f / "theirs.xls", "old", 0666, false); }, "theirs.xls", kSuccess,
         [](const OwnedFolder& f) {
             EXPECT_EQ(Stat(f / "theirs.xls").st_uid, ::geteuid());
             EXPECT_TRUE(HoldsTheExport(f / "theirs.xls"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OwnedFolder folder;
        c.prepare(folder);
        EXPECT_EQ(RunDriver(folder, ExportScript(folder / c.exported)), c.message);
        c.check(folder);
    }
}

// A small file system of each kind, mounted for one test: a tmpfs, and an
// ext2 image on a loop device, where no space can be reserved before a
// file is written in place. Unmounted (and the loop device let go) at the
// end; Skip() says why one could not be had.
class SmallDisk {
public:
    SmallDisk(const fs::path& at, const std::string& kind) : at_(at)
    {
        fs::create_directory(at_);
        if (kind == "tmpfs")
            MountTmpfs();
        else
            MountExt2();
        if (mounted_) {
            ::chown(at_.c_str(), kNobody, kNoGroup);
            ::chmod(at_.c_str(), 0755);
            fs::remove(at_ / "lost+found");
        }
    }
    ~SmallDisk()
    {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    const std::string& Skip() const { return skip_; }
    fs::path operator/(const std::string& name) const { return at_ / name; }
    const fs::path& Path() const { return at_; }

    // Fills the disk with a file named "filler" until about `room` bytes
    // are left.
    void LeaveRoom(std::size_t room) const
    {
        fs::remove(at_ / "filler");
        struct statvfs info {};
        ASSERT_EQ(::statvfs(at_.c_str(), &info), 0);
        const std::size_t free = info.f_bavail * info.f_bsize;
        ASSERT_GT(free, room);
        const int fd = ::open((at_ / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        for (std::size_t left = free - room; left > 0;) {
            const ssize_t n = ::write(fd, block.data(), std::min(left, block.size()));
            if (n <= 0) break;
            left -= static_cast<std::size_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
    }

private:
    void MountTmpfs()
    {
        mounted_ = ::mount("tmpfs", at_.c_str(), "tmpfs", 0, "size=256k,mode=0755") == 0;
        if (!mounted_) skip_ = std::string("no tmpfs: ") + std::strerror(errno);
    }

    // A 1 MiB ext2 of 1 KiB blocks, none kept back for root, made by
    // mke2fs from e2fsprogs.
    void MountExt2()
    {
        const fs::path image = at_.string() + ".img";
        std::error_code ec;
        fs::resize_file(image, 0, ec);
        {
            std::ofstream(image, std::ios::binary);
        }
        fs::resize_file(image, 1 << 20);
        std::string mke2fs;
        for (const char* candidate : {"/usr/sbin/mke2fs", "/sbin/mke2fs"})
            if (fs::exists(candidate)) mke2fs = candidate;
        if (mke2fs.empty()) {
            skip_ = "mke2fs (e2fsprogs) is not installed";
            return;
        }
        if (std::system((mke2fs + " -q -F -t ext2 -m 0 -b 1024 '" + image.string() + "' >/dev/null 2>&1").c_str()) !=
            0) {
            skip_ = "mke2fs failed";
            return;
        }
        const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
        if (control < 0) {
            skip_ = "no loop device: /dev/loop-control cannot be opened";
            return;
        }
        const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        ::close(control);
        const std::string device = "/dev/loop" + std::to_string(number);
        const int loop = number < 0 ? -1 : ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        const int file = ::open(image.c_str(), O_RDWR | O_CLOEXEC);
        loop_info64 info{};
        info.lo_flags = LO_FLAGS_AUTOCLEAR; // let go when unmounted
        if (loop < 0 || file < 0 || ::ioctl(loop, LOOP_SET_FD, file) != 0) {
            skip_ = "no free loop device";
        } else if (::ioctl(loop, LOOP_SET_STATUS64, &info) != 0 ||
                   ::mount(device.c_str(), at_.c_str(), "ext2", 0, nullptr) != 0) {
            skip_ = std::string("the ext2 image cannot be mounted: ") + std::strerror(errno);
            ::ioctl(loop, LOOP_CLR_FD, 0);
        } else {
            mounted_ = true;
        }
        if (file >= 0) ::close(file);
        if (loop >= 0) ::close(loop);
        fs::remove(image); // the loop device holds it while mounted
    }

    fs::path at_;
    bool mounted_ = false;
    std::string skip_;
};

std::string PasteScript(const fs::path& path, int rows)
{
    std::string column;
    for (int k = 1; k <= rows; ++k) column += std::to_string(k) + "\\n";
    return ExportScript(path, "paste Text1(0) " + column + "\n");
}

bool HoldsRows(const fs::path& path, std::size_t rows)
{
    const auto read = korvanta::excel::ReadSheet(path, 0);
    return read.Ok() && read.rows.size() == rows && read.rows[0][0].number == 1 &&
           read.rows[rows - 1][0].number == static_cast<double>(rows);
}

// A full disk changes nothing: the export says so and leaves the old file,
// and its hard link, whole. A file written in place over a hard link needs
// only room for its new content once, on a file system that can reserve
// the space (tmpfs) and on one that cannot (ext2).
TEST(ExportTarget, AFullDiskChangesNothing)
{
    if (!IsRoot()) GTEST_SKIP() << "mounting a file system needs root";
    for (const char* kind : {"tmpfs", "ext2"}) {
        SCOPED_TRACE(kind);
        OwnedFolder folder;
        const SmallDisk disk(folder / "disk", kind);
        if (!disk.Skip().empty()) GTEST_SKIP() << kind << ": " << disk.Skip();

        // What 1,000 rows make, exported beside the disk.
        std::vector<std::string> numbers;
        for (int k = 1; k <= 1000; ++k) numbers.push_back(std::to_string(k));
        ASSERT_TRUE(
            korvanta::excel::ExportColumns(folder / "size.xls", korvanta::excel::ExportFormat::Xls, {numbers, {}})
                .Ok());
        const auto size = fs::file_size(folder / "size.xls");
        fs::remove(folder / "size.xls");

        WriteText(disk / "old.xls", "eighteen bytes old", 0644);
        fs::create_hard_link(disk / "old.xls", disk / "linked.xls");
        disk.LeaveRoom(size + size / 2);
        EXPECT_EQ(RunDriver(folder, PasteScript(disk / "linked.xls", 1000)), kSuccess);
        EXPECT_TRUE(HoldsRows(disk / "old.xls", 1000));
        EXPECT_EQ(Stat(disk / "old.xls").st_nlink, 2u);
        ExpectOnly(disk.Path(), {"filler", "linked.xls", "old.xls"});

        const std::string before = ReadText(disk / "old.xls");
        disk.LeaveRoom(size / 2);
        for (const char* name : {"old.xls", "linked.xls", "new.xls"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(RunDriver(folder, PasteScript(disk / name, 20000)), kDiskFull);
            EXPECT_TRUE(ReadText(disk / "old.xls") == before) << "the old content changed";
            ExpectOnly(disk.Path(), {"filler", "linked.xls", "old.xls"});
        }

        // Written in place with no room at all past the old end: refused
        // with the old content whole, also where nothing was reserved.
        korvanta::excel::detail::ExportTarget target;
        ASSERT_TRUE(korvanta::excel::detail::ResolveTarget(disk / "linked.xls", target).Ok());
        korvanta::excel::detail::TempFile temp;
        ASSERT_TRUE(temp.Create(target, ".xls").Ok());
        disk.LeaveRoom(0);
        const std::vector<std::uint8_t> bigger(before.size() + 64 * 1024, 'n');
        const auto written = temp.Commit(bigger);
        EXPECT_EQ(written.error, korvanta::excel::WriteError::DiskFull) << written.detail;
        EXPECT_TRUE(ReadText(disk / "old.xls") == before) << "the old content changed";
        EXPECT_TRUE(temp.WroteInPlace());
    }
}

} // namespace
