// Owns one host file descriptor from the moment it is created.
#pragma once

namespace hp::kernel32 {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd &&other) noexcept;
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Closes now and returns close(2)'s errno (0 on success): a writer must
    // learn about data the kernel could not store.
    int close();

private:
    int fd_ = -1;
};

}  // namespace hp::kernel32
