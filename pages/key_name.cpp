#include "pages/key_name.h"

#include <array>

namespace {

struct Named {
    int code;
    const char *caption;
};

// Trailing blanks in "UP ARROW " and "Volume Up " are part of the captions.
constexpr Named kNamed[] = {
    {1, "Left Button"},      {2, "Right Button"},     {4, "Middle Button"},   {8, "BACK"},
    {9, "TAB"},              {12, "CLEAR"},           {13, "ENTER"},          {19, "PAUSE"},
    {20, "CAPS LOCK"},       {27, "ESC"},             {32, "SPACE"},          {33, "PAGE UP"},
    {34, "PAGE DOWN"},       {35, "END"},             {36, "HOME"},           {37, "LEFT ARROW"},
    {38, "UP ARROW "},       {39, "RIGHT ARROW"},     {40, "DOWN ARROW"},     {41, "SELECT"},
    {42, "PRINT"},           {43, "EXECUTE"},         {44, "PRINT SCREEN"},   {45, "INS"},
    {46, "DEL"},             {47, "HELP"},            {91, "Left Window"},    {92, "Right Window"},
    {93, "Application"},     {144, "NUM LOCK"},       {145, "SCROLL LOCK"},   {160, "Left SHIFT"},
    {161, "Right SHIFT"},    {162, "Left CONTROL"},   {163, "Right CONTROL"}, {164, "Left ALT"},
    {165, "Right ALT"},      {166, "Browser Back"},   {167, "Browser Forward"}, {168, "Browser Refresh"},
    {174, "Volume Down"},    {175, "Volume Up "},     {255, "Fn"},
    {106, "*"},  {107, "+"}, {187, "+"}, {109, "-"}, {189, "-"}, {110, "."}, {190, "."},
    {111, "/"},  {191, "/"}, {186, ";"}, {188, ","}, {192, "`"}, {219, "["}, {220, "\\"},
    {221, "]"},  {222, "'"},
};

std::array<QString, 256> buildTable()
{
    std::array<QString, 256> table;
    for (int d = 0; d <= 9; ++d) {
        table[48 + d] = QString::number(d);
        table[96 + d] = QString::number(d);
    }
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = QString(QChar(c));
    for (int f = 1; f <= 24; ++f)
        table[111 + f] = QStringLiteral("F%1").arg(f);
    for (const Named &n : kNamed)
        table[n.code] = QString::fromLatin1(n.caption);
    return table;
}

const std::array<QString, 256> &table()
{
    static const std::array<QString, 256> t = buildTable();
    return t;
}

} // namespace

QString KeyName(int vkCode)
{
    if (vkCode < 0 || vkCode > 255)
        return {};
    return table()[vkCode];
}

int KeyNameCount()
{
    int n = 0;
    for (const QString &s : table())
        n += !s.isEmpty();
    return n;
}
