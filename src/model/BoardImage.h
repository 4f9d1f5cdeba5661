#pragma once

#include <QString>

#include <array>
#include <stdexcept>

// The one copy of a logic board's parameter memory: 301 text words, index 0..300.
// Words are carried as text exactly as they came (a board, a file or the editor);
// only the editor's own writes are guaranteed to be four upper-case hex digits.
class BoardImage {
public:
    static constexpr int kWordCount = 301;
    static constexpr int kLastIndex = kWordCount - 1;

    // Thrown for an index outside 0..300: it stops the operation that asked,
    // which the command's handler reports. The program's own loops never do it.
    class IndexError : public std::out_of_range {
    public:
        explicit IndexError(int index);
        int index() const { return index_; }

    private:
        int index_;
    };

    static bool isValidIndex(int index) { return index >= 0 && index <= kLastIndex; }

    const QString& word(int index) const;
    void setWord(int index, const QString& word);

    bool operator==(const BoardImage& other) const = default;

private:
    std::array<QString, kWordCount> words_;
};
