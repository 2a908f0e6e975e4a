// Build step: turns the Unihan-derived readings of Debian's golang-github-mozillazg-go-pinyin-dev
// (pinyin_dict.go: "0x963F: \"ā,ē,ě,ǎ,à,a\",") into a sorted C++ table of each character's
// initials, the most common reading first ("ae" for 阿).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The first letter of a reading, its tone mark taken off: every marked vowel is two bytes of
// UTF-8 in Latin-1 Supplement or Latin Extended-A/B, and the few marked consonants are kept apart.
char Initial(const std::string& reading) {
    if (reading.empty())
        return 0;
    const unsigned char first = static_cast<unsigned char>(reading[0]);
    if (first < 0x80)
        return static_cast<char>(first >= 'A' && first <= 'Z' ? first - 'A' + 'a' : first);
    static const std::vector<std::pair<std::string, char>> marked = {
        {"ā", 'a'}, {"á", 'a'}, {"ǎ", 'a'}, {"à", 'a'}, {"ē", 'e'}, {"é", 'e'}, {"ě", 'e'},
        {"è", 'e'}, {"ê", 'e'}, {"ế", 'e'}, {"ề", 'e'}, {"ō", 'o'}, {"ó", 'o'}, {"ǒ", 'o'},
        {"ò", 'o'}, {"ī", 'i'}, {"í", 'i'}, {"ǐ", 'i'}, {"ì", 'i'}, {"ū", 'u'}, {"ú", 'u'},
        {"ǔ", 'u'}, {"ù", 'u'}, {"ǖ", 'v'}, {"ǘ", 'v'}, {"ǚ", 'v'}, {"ǜ", 'v'}, {"ü", 'v'},
        {"ń", 'n'}, {"ň", 'n'}, {"ǹ", 'n'}, {"ḿ", 'm'}};
    for (const auto& [text, letter] : marked)
        if (reading.compare(0, text.size(), text) == 0)
            return letter;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: pinyin_table_gen pinyin_dict.go out.cpp\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "pinyin_table_gen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::pair<unsigned long, std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        const auto hex = line.find("0x");
        const auto colon = line.find(':', hex == std::string::npos ? 0 : hex);
        const auto open = line.find('"', colon == std::string::npos ? 0 : colon);
        const auto close = open == std::string::npos ? open : line.find('"', open + 1);
        if (hex == std::string::npos || colon == std::string::npos || close == std::string::npos)
            continue;
        const unsigned long code = std::stoul(line.substr(hex + 2, colon - hex - 2), nullptr, 16);
        std::string initials;
        std::string readings = line.substr(open + 1, close - open - 1) + ",";
        for (std::size_t start = 0, comma; (comma = readings.find(',', start)) != std::string::npos;
             start = comma + 1) {
            const char letter = Initial(readings.substr(start, comma - start));
            if (letter >= 'a' && letter <= 'z' && initials.find(letter) == std::string::npos)
                initials += letter;
        }
        if (!initials.empty())
            rows.emplace_back(code, initials);
    }
    if (rows.size() < 20000) {
        std::cerr << "pinyin_table_gen: only " << rows.size() << " characters read from " << argv[1]
                  << "\n";
        return 1;
    }
    std::sort(rows.begin(), rows.end());
    std::ofstream out(argv[2]);
    out << "// Generated from pinyin_dict.go by pinyin_table_gen; do not edit.\n"
           "#include \"pinyin_table.h\"\n\nnamespace pinyintable {\n\n"
           "const CEntry kEntries[] = {\n";
    for (const auto& [code, initials] : rows)
        out << "    {0x" << std::hex << code << std::dec << ", \"" << initials << "\"},\n";
    out << "};\nconst std::size_t kEntryCount = " << rows.size()
        << ";\n\n} // namespace pinyintable\n";
    return out ? 0 : 1;
}
