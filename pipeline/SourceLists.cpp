#include "pipeline/SourceLists.h"

#include <algorithm>
#include <cctype>
#include <string_view>

void PutOnTop(std::vector<std::string>& list, const std::string& item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
    list.insert(list.begin(), item);
}

namespace {

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Compare the two numbers by value: without leading zeros, the longer is larger.
            const size_t startA = i, startB = j;
            while (i < a.size() && IsDigit(a[i]))
                ++i;
            while (j < b.size() && IsDigit(b[j]))
                ++j;
            const size_t zerosA = std::min(a.find_first_not_of('0', startA), i) - startA;
            const size_t zerosB = std::min(b.find_first_not_of('0', startB), j) - startB;
            const std::string_view numberA(a.data() + startA + zerosA, i - startA - zerosA);
            const std::string_view numberB(b.data() + startB + zerosB, j - startB - zerosB);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

std::string PictureFilePath(const std::string& folder, const std::string& fileName)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + fileName;
    return folder + "/" + fileName;
}
