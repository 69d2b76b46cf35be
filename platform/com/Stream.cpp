#include "com/Stream.h"

#include <algorithm>
#include <cstring>

namespace com {
namespace {

class MemoryStream final : public RefCounted<MemoryStream, IStream> {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
            return HandOut<IStream>(this, ppv);
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT Read(void* buffer, ULONG cb, ULONG* read) override {
        if (buffer == nullptr && cb > 0)
            return E_POINTER;
        const std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        const std::size_t n = std::min<std::size_t>(cb, available);
        if (n > 0)
            std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        if (read != nullptr)
            *read = static_cast<ULONG>(n);
        return S_OK;
    }
    HRESULT Write(const void* buffer, ULONG cb, ULONG* written) override {
        if (buffer == nullptr && cb > 0)
            return E_POINTER;
        try {
            if (bytes_.size() < position_ + cb)
                bytes_.resize(position_ + cb);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (cb > 0)
            std::memcpy(bytes_.data() + position_, buffer, cb);
        position_ += cb;
        if (written != nullptr)
            *written = cb;
        return S_OK;
    }
    HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) override {
        std::int64_t base = 0;
        switch (origin) {
            case STREAM_SEEK_SET:
                base = 0;
                break;
            case STREAM_SEEK_CUR:
                base = static_cast<std::int64_t>(position_);
                break;
            case STREAM_SEEK_END:
                base = static_cast<std::int64_t>(bytes_.size());
                break;
            default:
                return STG_E_INVALIDFUNCTION;
        }
        if (base + move < 0)
            return STG_E_INVALIDFUNCTION;
        position_ = static_cast<std::size_t>(base + move);
        if (newPosition != nullptr)
            *newPosition = position_;
        return S_OK;
    }
    HRESULT SetSize(std::uint64_t size) override {
        try {
            bytes_.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT CopyTo(IStream*, std::uint64_t, std::uint64_t*, std::uint64_t*) override {
        return E_NOTIMPL;
    }
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(std::uint64_t, std::uint64_t, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT UnlockRegion(std::uint64_t, std::uint64_t, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT Clone(IStream**) override { return E_NOTIMPL; }

    std::vector<unsigned char> bytes_;

  private:
    friend class RefCounted<MemoryStream, IStream>;  // deletes it with the last reference
    ~MemoryStream() = default;
    std::size_t position_ = 0;
};

}  // namespace

IStream* CreateMemoryStream() {
    auto* stream = new MemoryStream();
    stream->AddRef();
    return stream;
}

const std::vector<unsigned char>* MemoryStreamBytes(IStream* stream) {
    auto* memory = dynamic_cast<MemoryStream*>(stream);
    return memory != nullptr ? &memory->bytes_ : nullptr;
}

}  // namespace com
