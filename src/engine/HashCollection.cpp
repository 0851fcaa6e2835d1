// SPDX-License-Identifier: GPL-3.0-or-later
// Name index shared by the image and wave libraries.
#include "HashCollection.h"

#include "EngineErrors.h"


namespace {
// Letter case of the names is ASCII's, whatever the process's locale; the
// game looks names up every frame, so this stays a compare and an add.
unsigned char Lower(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}
} // namespace

THashCollectionItem::THashCollectionItem(THashCollection& collection) : Collection_(&collection)
{
    Link();
}

THashCollectionItem::~THashCollectionItem()
{
    Unlink();
}

void THashCollectionItem::SetName(const std::string& name)
{
    if (name == Name_) return;
    Unlink();
    Name_ = name;
    Link();
}

void THashCollectionItem::Link()
{
    auto& head = Collection_->Buckets_[static_cast<size_t>(THashCollection::HashName(Name_))];
    Next_ = head;
    head = this;
}

void THashCollectionItem::Unlink()
{
    auto* link = &Collection_->Buckets_[static_cast<size_t>(THashCollection::HashName(Name_))];
    while (*link != nullptr) {
        if (*link == this) {
            *link = Next_;
            Next_ = nullptr;
            return;
        }
        link = &(*link)->Next_;
    }
}

THashCollection::THashCollection() = default;

THashCollection::~THashCollection()
{
    Clear();
}

int THashCollection::HashName(std::string_view name)
{
    unsigned h = static_cast<unsigned>(name.size()) * 16u;
    if (name.size() >= 2) h += Lower(name.front()) + Lower(name[name.size() - 2]);
    return static_cast<int>(h & 0xFFu);
}

bool THashCollection::SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

THashCollectionItem* THashCollection::FindItem(std::string_view name) const
{
    for (auto* item = Buckets_[static_cast<size_t>(HashName(name))]; item != nullptr; item = item->Next_) {
        if (SameName(item->Name_, name)) return item;
    }
    return nullptr;
}

void THashCollection::Clear()
{
    while (!Items_.empty()) Items_.pop_back();
}

THashCollectionItem& THashCollection::ItemAt(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(FormatMessage("List index out of bounds (%d)", index));
    return *Items_[static_cast<size_t>(index)];
}

THashCollectionItem& THashCollection::Append(std::unique_ptr<THashCollectionItem> item)
{
    Items_.push_back(std::move(item));
    return *Items_.back();
}

void THashCollection::RemoveLast()
{
    if (!Items_.empty()) Items_.pop_back();
}
