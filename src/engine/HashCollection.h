// SPDX-License-Identifier: GPL-3.0-or-later
// Collection of named items with a 256-bucket name index. Names compare
// without regard to letter case; among equal names the one named last wins.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class THashCollection;

class THashCollectionItem {
public:
    virtual ~THashCollectionItem();
    THashCollectionItem(const THashCollectionItem&) = delete;
    THashCollectionItem& operator=(const THashCollectionItem&) = delete;

    const std::string& Name() const { return Name_; }
    // Relinks the item at the head of its new bucket when the name changes.
    void SetName(const std::string& name);
    THashCollection& Collection() const { return *Collection_; }

protected:
    // Items are made by their collection, linked under the empty name.
    explicit THashCollectionItem(THashCollection& collection);

private:
    friend class THashCollection;
    void Link();
    void Unlink();

    THashCollection* Collection_;
    THashCollectionItem* Next_ = nullptr;
    std::string Name_;
};

class THashCollection {
public:
    THashCollection();
    virtual ~THashCollection();
    THashCollection(const THashCollection&) = delete;
    THashCollection& operator=(const THashCollection&) = delete;

    // Bucket of a name: lower-case length x 16, plus the codes of the first
    // and second-to-last characters when there are at least two, mod 256.
    static int HashName(std::string_view name);
    static bool SameName(std::string_view a, std::string_view b);

    int Count() const { return static_cast<int>(Items_.size()); }
    // Walks the name's bucket from its head; nullptr when absent.
    THashCollectionItem* FindItem(std::string_view name) const;
    // Removes every item (newest first).
    void Clear();

protected:
    THashCollectionItem& ItemAt(int index) const;
    // Appends an item made by the derived collection.
    THashCollectionItem& Append(std::unique_ptr<THashCollectionItem> item);
    // Drops the newest item (a half-read one).
    void RemoveLast();
    // Runs read on the newest item; an item that is not read whole is
    // dropped, and the items before it stay.
    template <class TItem, class TRead>
    void ReadWhole(TItem& item, TRead&& read)
    {
        try {
            read(item);
        } catch (...) {
            RemoveLast();
            throw;
        }
    }

private:
    friend class THashCollectionItem;
    std::vector<std::unique_ptr<THashCollectionItem>> Items_;
    std::array<THashCollectionItem*, 256> Buckets_{};
};
