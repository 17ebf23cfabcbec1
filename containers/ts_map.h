// The plug-in's map family: chained hash maps with a fixed table of 17 buckets, allocated on
// the first insertion, and entries taken from blocks of 10 through a free list. Indexing an
// absent key inserts it with a default (null) value. No operation takes a lock: every caller
// runs on the user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

// Hash of an integer key: the minimal-standard generator's step applied to the key.
uint32_t HashMapKey(int32_t key);
// Hash of a text key.
uint32_t HashMapKey(std::string_view key);

// Position of a walk over a map; null at the end.
using MapPosition = const void*;

template <class Key, class ArgKey, class Value, class ArgValue>
class CTSMap {
  public:
    static constexpr uint32_t kBucketCount = 17;
    static constexpr size_t kBlockSize = 10;

    CTSMap() = default;
    CTSMap(const CTSMap&) = delete;
    CTSMap& operator=(const CTSMap&) = delete;
    ~CTSMap() = default;  // releases the entries, never what their values point to

    // The value slot of the key, inserted with a null value when absent.
    Value& operator[](ArgKey key) {
        const uint32_t hash = Hash(key);
        if (Entry* found = Find(key, hash)) {
            return found->value;
        }
        if (buckets_.empty()) {
            buckets_.assign(kBucketCount, nullptr);
        }
        Entry* entry = TakeFreeEntry();
        entry->key = Key(key);
        entry->value = Value();
        entry->hash = hash;
        Entry*& head = buckets_[hash % kBucketCount];
        entry->next = head;
        head = entry;
        ++count_;
        return entry->value;
    }

    bool Lookup(ArgKey key, Value& value) const {
        const Entry* found = Find(key, Hash(key));
        if (!found) {
            return false;
        }
        value = found->value;
        return true;
    }

    // Unlinks the key's entry; the last entry to go releases the table and every block.
    bool RemoveKey(ArgKey key) {
        if (buckets_.empty()) {
            return false;
        }
        const uint32_t hash = Hash(key);
        for (Entry** link = &buckets_[hash % kBucketCount]; *link; link = &(*link)->next) {
            Entry* entry = *link;
            if (entry->hash == hash && entry->key == key) {
                *link = entry->next;
                Release(entry);
                return true;
            }
        }
        return false;
    }

    void RemoveAll() {
        buckets_.clear();
        buckets_.shrink_to_fit();
        blocks_.clear();
        free_ = nullptr;
        count_ = 0;
    }

    // Walk: buckets in index order, within a bucket the newest entry first.
    MapPosition GetStartPosition() const { return FirstFrom(0); }

    void GetNextAssoc(MapPosition& position, Key& key, Value& value) const {
        const Entry* entry = static_cast<const Entry*>(position);
        key = entry->key;
        value = entry->value;
        position = entry->next ? entry->next : FirstFrom(entry->hash % kBucketCount + 1);
    }

    size_t GetCount() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

  private:
    struct Entry {
        Entry* next = nullptr;
        uint32_t hash = 0;
        Key key{};
        Value value{};
    };

    static uint32_t Hash(ArgKey key) {
        if constexpr (std::is_integral_v<Key>) {
            return HashMapKey(static_cast<int32_t>(key));
        } else {
            return HashMapKey(std::string_view(key));
        }
    }

    Entry* Find(ArgKey key, uint32_t hash) const {
        if (buckets_.empty()) {
            return nullptr;
        }
        for (Entry* entry = buckets_[hash % kBucketCount]; entry; entry = entry->next) {
            if (entry->hash == hash && entry->key == key) {
                return entry;
            }
        }
        return nullptr;
    }

    const Entry* FirstFrom(size_t bucket) const {
        for (; bucket < buckets_.size(); ++bucket) {
            if (buckets_[bucket]) {
                return buckets_[bucket];
            }
        }
        return nullptr;
    }

    Entry* TakeFreeEntry() {
        if (!free_) {
            blocks_.push_back(std::make_unique<Entry[]>(kBlockSize));
            Entry* block = blocks_.back().get();
            for (size_t i = kBlockSize; i-- > 0;) {
                block[i].next = free_;
                free_ = &block[i];
            }
        }
        Entry* entry = free_;
        free_ = entry->next;
        return entry;
    }

    void Release(Entry* entry) {
        entry->key = Key();
        entry->value = Value();
        entry->next = free_;
        free_ = entry;
        if (--count_ == 0) {
            RemoveAll();
        }
    }

    std::vector<Entry*> buckets_;
    std::vector<std::unique_ptr<Entry[]>> blocks_;
    Entry* free_ = nullptr;
    size_t count_ = 0;
};
