#include "kesh/arguments.h"

#include "kesh/property.h"

#include <boost/make_shared.hpp>

#include <cstdint>
#include <vector>

namespace kesh {
namespace app {
namespace impl {

namespace {

enum ValueKind { Flag, OptionalValue, RequiredValue };

const unsigned kNotFound = String::npos;

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

StringArray splitWords(const String& text)
{
    StringArray words;
    const char* p = text.c_str();
    for (;;) {
        while (isSpace(*p))
            ++p;
        if (!*p) break;
        String word;
        while (*p && !isSpace(*p)) {
            if (*p == '"' || *p == '\'') {
                const char quote = *p++;
                while (*p && *p != quote)
                    word.append(*p++);
                if (*p) ++p;
            } else if (*p == '\\' && p[1]) {
                word.append(p[1]);
                p += 2;
            } else {
                word.append(*p++);
            }
        }
        words.append(word);
    }
    return words;
}

}  // namespace

class Arguments : public IArguments {
public:
    Arguments(const String& commandLine, const String& spec) : words_(splitWords(commandLine))
    {
        readSpec(spec);
        counts_.assign(kinds_.size(), 0);
        values_.resize(static_cast<unsigned>(kinds_.size()), String());
        parseWords();
    }

    StringArray getArguments() override { return positional_; }
    int count(const String& longName) override { return countOf(byName(longName)); }
    int count(char letter) override { return countOf(byLetter(letter)); }
    String getValue(const String& longName, const String& defaultValue) override
    {
        return valueOf(byName(longName), defaultValue);
    }
    String getValue(char letter, const String& defaultValue) override
    {
        return valueOf(byLetter(letter), defaultValue);
    }
    bool has(const String& longName) override { return count(longName) != 0; }
    bool has(char letter) override { return count(letter) != 0; }

private:
    void readSpec(const String& spec)
    {
        const char* p = spec.c_str();
        while (*p) {
            char letter = ' ';
            if (*p != '-') letter = *p++;
            String longName;
            if (*p == '-') {
                const char* start = ++p;
                while (*p && *p != '.' && *p != ':' && *p != ';')
                    ++p;
                longName = String(start, static_cast<unsigned>(p - start));
                if (*p == '.') ++p;
            }
            ValueKind kind = Flag;
            if (*p == ':') {
                kind = RequiredValue;
                ++p;
            } else if (*p == ';') {
                kind = OptionalValue;
                ++p;
            }
            shortChars_.append(letter);
            longNames_.append(longName);
            kinds_.push_back(kind);
        }
    }

    void parseWords()
    {
        bool endOfOptions = false;
        for (next_ = 0; next_ < words_.size();) {
            const String word = words_.at(next_++);
            const char* w = word.c_str();
            if (endOfOptions || w[0] != '-' || word.length() == 1) {
                positional_.append(word);
            } else if (word.compare("--") == 0) {
                endOfOptions = true;
            } else if (w[1] == '-') {
                takeValue(byName(word.substr(2)), word, kNotFound);
            } else {
                for (unsigned i = 1; i < word.length(); ++i)
                    if (takeValue(byLetter(w[i]), word, i + 1)) break;
            }
        }
    }

    // Counts the option and takes its value, from the rest of the word at
    // restAt when it came in a letter group, else from the next word. True
    // when a value was taken.
    bool takeValue(unsigned k, const String& word, unsigned restAt)
    {
        if (k == kNotFound) return false;
        ++counts_[k];
        if (kinds_[k] == Flag) return false;
        String& value = values_.at(k);
        if (!value.isEmpty()) value.append('\n');
        const bool inGroup = restAt != kNotFound;
        if (inGroup && (kinds_[k] == OptionalValue || restAt < word.length())) {
            value.append(word.c_str() + restAt);
            return true;
        }
        if (next_ >= words_.size()) return false;
        value.append(words_.at(next_++).c_str());
        return true;
    }

    // A space stands for "no letter" and an empty name for "no long name":
    // neither is an option anybody can ask for.
    unsigned byLetter(char letter) const
    {
        if (letter == ' ') return kNotFound;
        return shortChars_.find(letter);
    }

    unsigned byName(const String& longName) const
    {
        if (longName.isEmpty()) return kNotFound;
        return indexOf(longNames_, longName);
    }

    int countOf(unsigned k) const { return k == kNotFound ? 0 : static_cast<int>(counts_[k]); }

    String valueOf(unsigned k, const String& defaultValue) const
    {
        return k == kNotFound || counts_[k] == 0 ? defaultValue : values_.at(k);
    }

    StringArray positional_;
    String shortChars_;
    std::vector<std::int32_t> counts_;
    StringArray values_;
    StringArray longNames_;
    StringArray words_;
    std::vector<ValueKind> kinds_;
    unsigned next_ = 0;
};

}  // namespace impl

boost::shared_ptr<IArguments> getArguments(const String& spec)
{
    return parseArguments(sys::getProperty("app.command", String()), spec);
}

boost::shared_ptr<IArguments> parseArguments(const String& commandLine, const String& spec)
{
    return boost::make_shared<impl::Arguments>(commandLine, spec);
}

}  // namespace app
}  // namespace kesh
