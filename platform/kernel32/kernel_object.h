// What a kernel32 handle refers to. The handle table owns the objects; each
// API function asks for the kind it works on and treats any other kind as
// an invalid handle, as the platform does.
#pragma once

namespace hp::kernel32 {

class KernelObject {
public:
    enum class Kind { File, FindSearch, Mutex };

    explicit KernelObject(Kind kind) : kind_(kind) {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject &) = delete;
    KernelObject &operator=(const KernelObject &) = delete;

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

}  // namespace hp::kernel32
