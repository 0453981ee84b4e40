#pragma once
// The base of the diagnostics objects: a name, two plain values, an interlocked reference count and a
// static class record per class, through which a class can be named, tested and, where it has a
// creator, created.
#include <atomic>
#include <cstdint>
#include <string>

class CNameObject;

struct CClassRecord {
    const char* name;
    const CClassRecord* base;      // null for CNameObject
    CNameObject* (*create)();      // null where the class cannot be created by record
};

class CNameObject {
public:
    static const CClassRecord classRecord;

    CNameObject() = default;
    explicit CNameObject(std::string name) : name_(std::move(name)) {}
    CNameObject(const CNameObject&) = delete;
    CNameObject& operator=(const CNameObject&) = delete;

    virtual const CClassRecord* GetClassRecord() const { return &classRecord; }
    virtual ~CNameObject() = default;
    virtual bool IsValid() const { return true; }
    // Drops one reference; at zero the object deletes itself and 0 is returned.
    virtual int Release();
    // Name and the further value.
    virtual void CopyFrom(const CNameObject& other);
    // Name, owned value and further value; the other keeps an owned value of 0.
    virtual void MoveFrom(CNameObject& other);

    int AddRef() { return ++refCount_; }
    bool IsKindOf(const CClassRecord& record) const;

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int32_t ownedValue = 0;
    int32_t furtherValue = 0;

private:
    std::string name_;
    std::atomic<int32_t> refCount_{1};
};

// A new object of the record's class, or null when the class has no creator.
CNameObject* CreateByRecord(const CClassRecord& record);
