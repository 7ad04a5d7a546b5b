#include "editor/command_table.h"

namespace kivo::editor {
namespace {

// Lines these items insert must parse in kivo: keywords and field order follow its scan formats.
constexpr CommandItem kBasic[] = {
    {"config", "config1", "config", 1, {"File name"}, " config "},
    {"writeblock", "writeblock1", "writeblock", 3,
     {"File name [*.bin *.hex]", "Start address (hex)", "Stop address (hex)"},
     " writeblock - write file contenents to memory "},
    {"writebyte", "writebyte1", "writebyte", 2, {"address (hex)", "data (hex)"},
     " writebyte - write data to memory "},
    {"readblock", "readblock1", "readblock", 3,
     {"File name [*.bin *.hex]", "Start address (hex)", "Stop address (hex)"},
     " readblock - read memory contenents to file "},
    {"readbyte", "readbyte1", "readbyte", 2, {"Start address (hex)", "Stop address (hex)"},
     " readbyte - read data from memory and print it "},
    {"baseadr", "baseadr1", "baseadr", 1, {"Address"}, " baseadr - set base address "},
    {"ver", "ver1", "ver", 0, {}, ""},
    {"eppmode", "eppmode1", "eppmode", 1, {"Port mode"}, " eppmode - set EPP port mode "},
    {"reset", "reset1", "reset", 0, {}, ""},
};

constexpr CommandItem kConditional[] = {
    {"waitbit0", "waitbit01", "waitbit0", 3, {"Bit mask (hex)", "Address (hex)", "Timeout"},
     " waitbit0 "},
    {"waitbit1", "waitbit11", "waitbit1", 2, {"Bit mask (hex)", "Address (hex)"}, " waitbit1 "},
    {"gobit1", "gobit11", "gobit1", 2, {"Bit mask (hex)", "Label"}, " gobit1 "},
    {"gobit0", "gobit01", "gobit0", 2, {"Bit mask (hex)", "Label"}, " gobit0 "},
    {"go>", "go1", "go>", 2, {"Value (hex)", "Label"}, " go> "},
    {"go<", "go2", "go<", 2, {"Value (hex)", "Label"}, " go< "},
    {"go=", "go3", "go=", 2, {"Value (hex)", "Label"}, " go= "},
};

constexpr CommandItem kFile[] = {
    {"fileconv", "fileconv1", "fileconv", 3, {"Source file", "Destination file", "[Bit]"},
     " fileconv - convert file "},
    {"filecomp", "filecomp1", "filecomp", 2, {"File", "File"}, " filecomp - compare two files "},
    {"fileappend", "fileappend1", "fileappend", 1, {"Value"},
     " fileappend - change write file method "},
    {"fileselect", "fileselect1", "fileselect", 6,
     {"Source file", "Destination file", "Start", "Stop", "[Sample size]", "[Record size]"},
     " fileselect ", true},
    {"file2txt", "file2txt1", "file2txt", 4,
     {"Source file", "Destination file", "Number of bits (dec)", "Number of column"}, " file2txt "},
    {"file2raw", "file2raw1", "file2raw", 6,
     {"Source file", "Destination file", "X size", "Y size", "Number of bits", "[Number of channels]"},
     " file2raw "},
    {"filestatistic", "filestatistic1", "filestatistic", 3,
     {"Source file", "Number of bits", "[Number of channels]"}, " filestatistic "},
    {"filehistogram", "filehistogram1", "filehistogram", 3,
     {"Source file", "Destination file", "[Number of bits]"}, " filehistogram "},
};

constexpr CommandItem kI2c[] = {
    {"i2cwrite", "i2cwrite1", "i2cwrite", 2, {"Address", "Value"}, " i2cwrite "},
    {"i2cread", "i2cread1", "i2cread", 1, {"Address"}, " i2cread "},
};

constexpr CommandItem kAnalyser[] = {
    {"labaseadr", "labaseadr1", "labaseadr", 1, {"Address (hex)"}, " labaseadr "},
    {"laawidth", "laawidth1", "laawidth", 1, {"Value (dec)"}, " laawidth "},
    {"lahighadr", "lahighadr1", "lahighadr", 1, {"Address (hex)"}, " lahighadr "},
    {"latvalue", "latvalue1", "latvalue", 1, {"Address (hex)"}, " latvalue "},
    {"latcare", "latcare1", "latcare", 1, {"Address (hex)"}, " latcare "},
    {"lacevalue", "lacevalue1", "lacevalue", 1, {"Address (hex)"}, " lacevalue "},
    {"lacecare", "lacecare1", "lacecare", 1, {"Address (hex)"}, " lacecare "},
    {"lacectr", "lacectr1", "lacectr", 1, {"Address (hex)"}, " lacectr "},
    {"lastart", "lastart1", "lastart", 1, {"Value (hex)"}, " lastart "},
    {"laread", "laread1", "laread", 2, {"[File name]", "[Timeout]"}, " laread "},
};

constexpr CommandItem kControl[] = {
    {"sleep", "sleep1", "sleep", 1, {"Time (ms)"}, " sleep "},
    {"run", "run1", "run", 1, {"Command"}, " run - execute OS command "},
    {"exit", "exit1", "exit", 0, {}, ""},
    {"waitforkey", "waitforkey1", "waitforkey", 0, {}, ""},
    {"print", "print1", "print", 1, {"Text"}, " print - print text on a display "},
    {"comment", "comment1", "comment", 1, {"Number"}, " comment "},
    {"goto", "goto1", "goto", 1, {"Label"}, " goto - go to label "},
    {"label", "label2", ":", 1, {"Label"}, "label"},
    {"loop", "loop1", "loop", 2, {"Numer (hex)", "Label"}, " loop - go to label 'Number' times "},
};

constexpr CommandItem kStatus[] = {
    {"stat?", "stat1", "stat?", 0, {}, ""},
    {"stat=", "stat2", "stat=", 1, {"Value (hex)"}, " stat= - set status register "},
    {"stat+=", "stat3", "stat+=", 1, {"Value (hex)"}, " stat+= - add Value to status register "},
    {"stat-=", "stat4", "stat-=", 1, {"Value (hex)"},
     " stat-= - substract Value from status register "},
    {"stat*=", "stat5", "stat*=", 1, {"Value (hex)"},
     " stat*= - multiply Value and status register "},
    {"stat/=", "stat6", "stat/=", 1, {"Value (hex)"},
     " stat/= - devide status register through Value "},
    {"stat&&=", "stat7", "stat&=", 1, {"Value (hex)"},
     "stat&&= - logical 'status register AND Value' operation"},
    {"stat|=", "stat8", "stat|=", 1, {"Value (hex)"},
     " stat|= - logical 'status register OR Value' operation "},
    {"stat^=", "stat9", "stat^=", 1, {"Value (hex)"},
     "stat^= - logical 'status register XOR Value' operation"},
    {"stat=>", "stat10", "stat=>m", 1, {"Address (hex)"}, " stat=>m "},
    {"stat<=", "stat11", "stat<=m", 1, {"Address (hex)"}, " stat<=m "},
    {"stat<=>", "stat12", "stat<=>m", 1, {"Address (hex)"}, " stat<=>m "},
    {"stat+=m", "statm1", "stat+=m", 1, {"Address (hex)"}, " stat+=m "},
    {"stat-=m", "statm2", "stat-=m", 1, {"Address (hex)"}, " stat-=m "},
};

constexpr CommandItem kVhdl[] = {
    {"vhdlsim", "vhdlsim1", "vhdlsim", 0, {}, ""},
};

constexpr CommandMenu kMenus[] = {
    {"Basic command", kBasic},
    {"Conditional command", kConditional},
    {"File operation", kFile},
    {"I2C", kI2c},
    {"Internal Logic State Analyser", kAnalyser},
    {"Program control command", kControl},
    {"Status register operation", kStatus},
    {"VHDL", kVhdl},
};

}  // namespace

std::span<const CommandMenu> commandMenus() { return kMenus; }

QString helpAnchor(const CommandItem& item) {
    // The label item's keyword is ":", which makes a poor anchor.
    if (QLatin1String(item.keyword) == QLatin1String(":"))
        return QStringLiteral("label");
    return QString::fromLatin1(item.keyword);
}

const QStringList& helpKeywords() {
    // Stored exactly as users have always been able to look them up: "stat+" rather than
    // "stat+=", "lacevalu" with eight letters, and "LA", which no lowered selection can equal.
    static const QStringList keywords = {
        "config", "writeblock", "writebyte", "readbyte", "baseadr", "eppmode", "sleep", "exit",
        "goto", "loop", "waitbit0", "waitbit1", "gobit1", "gobit0", "go>", "go<", "go=", "stat?",
        "stat+", "stat-", "stat*", "stat/", "stat&=", "stat|=", "stat^=", "stat=>m", "stat<=m",
        "stat<=>m", "stat+=m", "stat-=m", "fileconv", "filecomp", "fileappend", "fileselect",
        "file2txt", "file2raw", "filestatistic", "filehistogram", "vhdlsim", "LA", "labaseadr",
        "laawidth", "lahighadr", "latvalue", "latcare", "lacevalu", "lacecare", "lacectr",
        "lastart", "laread", "i2cwrite", "i2cread", "reset", "run", "readblock", "ver",
        "waitforkey", "print", "comment", "label",
    };
    return keywords;
}

std::optional<QString> helpAnchorForSelection(const QString& selection) {
    QString word = selection;
    while (word.endsWith(QChar(26)))
        word.chop(1);
    QString lowered = word;
    for (QChar& ch : lowered)
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            ch = QChar(ch.unicode() + ('a' - 'A'));
    if (helpKeywords().contains(lowered, Qt::CaseSensitive))
        return word;
    return std::nullopt;
}

}  // namespace kivo::editor
