#pragma once
#include <memory>
#include <string>
#include <vector>

// One entry of the current question-id list.
class TXiaoTi {
public:
    int Id = 0;
};

// One answerable question of the page now shown in the main browser.
class TShiTi {
public:
    int Id = 0;
    int OptionCount = 0;
    std::string TypeName;
    std::string Answer;
    bool Correct = false;
    int Number = 0; // the number the page shows before its text
};

// One tally of a grading run: a run of questions of one type.
class TTest {
public:
    std::string TypeName;
    int Total = 0;
    int RightCount = 0;
    float FullScore = 0;
    float Score = 0;
    float RightRate = 0;
};

// An ordered list that owns its records: emptying or destroying it frees them.
template <class T> class TObjectList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    T* Items(int i) const { return items_.at(static_cast<size_t>(i)).get(); }
    T* operator[](int i) const { return Items(i); }
    T* Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return items_.back().get();
    }
    T* Add() { return Add(std::make_unique<T>()); }
    void Clear() { items_.clear(); }

    // Iterates the records themselves.
    class const_iterator {
    public:
        explicit const_iterator(typename std::vector<std::unique_ptr<T>>::const_iterator it) : it_(it) {}
        T* operator*() const { return it_->get(); }
        const_iterator& operator++() {
            ++it_;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return it_ != o.it_; }

    private:
        typename std::vector<std::unique_ptr<T>>::const_iterator it_;
    };
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    std::vector<std::unique_ptr<T>> items_;
};

// An ordered list of small records held by value, for lists of many thousands:
// one block of memory, not one allocation per record, and emptying it keeps the
// block for the next fill. A record's address holds until the next Add or Clear.
template <class T> class TRecordList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    T* Items(int i) { return &items_.at(static_cast<size_t>(i)); }
    const T* Items(int i) const { return &items_.at(static_cast<size_t>(i)); }
    T* operator[](int i) { return Items(i); }
    const T* operator[](int i) const { return Items(i); }
    T* Add() { return &items_.emplace_back(); }
    void Clear() { items_.clear(); }
    void Reserve(int n) { items_.reserve(static_cast<size_t>(n)); }

    // Iterates the records' addresses, as TObjectList does.
    class const_iterator {
    public:
        explicit const_iterator(const T* p) : p_(p) {}
        const T* operator*() const { return p_; }
        const_iterator& operator++() {
            ++p_;
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return p_ != o.p_; }

    private:
        const T* p_;
    };
    const_iterator begin() const { return const_iterator(items_.data()); }
    const_iterator end() const { return const_iterator(items_.data() + items_.size()); }

private:
    std::vector<T> items_;
};
