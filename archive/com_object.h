#pragma once
// The COM plumbing between qor.dll and 7z.dll: a smart pointer for the objects 7-Zip hands
// out, and the reference count of the objects we hand to it.

#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <utility>

template <class T>
class TComPtr {
  public:
    TComPtr() = default;
    // Takes over one reference that the caller already holds.
    explicit TComPtr(T* adopted) : ptr_(adopted) {}
    TComPtr(const TComPtr& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
    }
    TComPtr(TComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    TComPtr& operator=(TComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~TComPtr() { reset(); }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void reset() {
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }
    // For out parameters: releases what is held and returns the slot to fill.
    T** put() {
        reset();
        return &ptr_;
    }

  private:
    T* ptr_ = nullptr;
};

// Creates an object with a reference count of one, held by the returned pointer.
template <class T, class... Args>
TComPtr<T> MakeComObject(Args&&... args) {
    return TComPtr<T>(new T(std::forward<Args>(args)...));
}

// Base of our COM objects: AddRef and Release for every interface the object implements.
// The derived class answers QueryInterface with Answer().
template <class... Interfaces>
class TComObject : public Interfaces... {
  public:
    TComObject() = default;
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

  protected:
    virtual ~TComObject() = default;

    struct TInterfaceEntry {
        const IID* iid;
        void* pointer;
    };
    HRESULT Answer(REFIID iid, void** out, std::initializer_list<TInterfaceEntry> entries) {
        if (!out) return E_POINTER;
        *out = nullptr;
        for (const TInterfaceEntry& entry : entries) {
            if (*entry.iid == iid) {
                *out = entry.pointer;
                AddRef();
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }

  private:
    std::atomic<ULONG> references_{1};
};
