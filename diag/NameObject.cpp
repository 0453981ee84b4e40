#include "diag/NameObject.h"

const CClassRecord CNameObject::classRecord{"CNameObject", nullptr, nullptr};

int CNameObject::Release()
{
    const int left = --refCount_;
    if (left == 0)
        delete this;
    return left;
}

void CNameObject::CopyFrom(const CNameObject& other)
{
    if (&other == this)
        return;
    name_ = other.name_;
    furtherValue = other.furtherValue;
}

void CNameObject::MoveFrom(CNameObject& other)
{
    if (&other == this)
        return;
    name_ = std::move(other.name_);
    ownedValue = other.ownedValue;
    furtherValue = other.furtherValue;
    other.ownedValue = 0;
}

bool CNameObject::IsKindOf(const CClassRecord& record) const
{
    for (const CClassRecord* r = GetClassRecord(); r; r = r->base)
        if (r == &record)
            return true;
    return false;
}

CNameObject* CreateByRecord(const CClassRecord& record)
{
    return record.create ? record.create() : nullptr;
}
