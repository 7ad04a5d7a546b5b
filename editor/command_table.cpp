#include "editor/command_table.h"

namespace kivo::editor {
namespace {

// Lines these items insert must parse in kivo: keywords and field order follow its scan formats.
constexpr CommandItem kBasic[] = {
    {"config", "config1Click", "config", 1, {"File name"}, " config "},
    {"writeblock", "writeblock1Click", "writeblock", 3,
     {"File name [*.bin *.hex]", "Start address (hex)", "Stop address (hex)"},
     " writeblock - write file contenents to memory "},
    {"writebyte", "writebyte1Click", "writebyte", 2, {"address (hex)", "data (hex)"},
     " writebyte - write data to memory "},
    {"readblock", "readblock1Click", "readblock", 3,
     {"File name [*.bin *.hex]", "Start address (hex)", "Stop address (hex)"},
     " readblock - read memory contenents to file "},
    {"readbyte", "readbyte1Click", "readbyte", 2, {"Start address (hex)", "Stop address (hex)"},
     " readbyte - read data from memory and print it "},
    {"baseadr", "baseadr1Click", "baseadr", 1, {"Address"}, " baseadr - set base address "},
    {"ver", "ver1Click", "ver", 0, {}, ""},
    {"eppmode", "eppmode1Click", "eppmode", 1, {"Port mode"}, " eppmode - set EPP port mode "},
    {"reset", "reset1Click", "reset", 0, {}, ""},
};

constexpr CommandItem kConditional[] = {
    {"waitbit0", "waitbit01Click", "waitbit0", 3, {"Bit mask (hex)", "Address (hex)", "Timeout"},
     " waitbit0 "},
    {"waitbit1", "waitbit11Click", "waitbit1", 2, {"Bit mask (hex)", "Address (hex)"}, " waitbit1 "},
    {"gobit1", "gobit11Click", "gobit1", 2, {"Bit mask (hex)", "Label"}, " gobit1 "},
    {"gobit0", "gobit01Click", "gobit0", 2, {"Bit mask (hex)", "Label"}, " gobit0 "},
    {"go>", "go1Click", "go>", 2, {"Value (hex)", "Label"}, " go> "},
    {"go<", "go2Click", "go<", 2, {"Value (hex)", "Label"}, " go< "},
    {"go=", "go3Click", "go=", 2, {"Value (hex)", "Label"}, " go= "},
};

constexpr CommandItem kFile[] = {
    {"fileconv", "fileconv1Click", "fileconv", 3, {"Source file", "Destination file", "[Bit]"},
     " fileconv - convert file "},
    {"filecomp", "filecomp1Click", "filecomp", 2, {"File", "File"}, " filecomp - compare two files "},
    {"fileappend", "fileappend1Click", "fileappend", 1, {"Value"},
     " fileappend - change write file method "},
    {"fileselect", "fileselect1Click", "fileselect", 6,
     {"Source file", "Destination file", "Start", "Stop", "[Sample size]", "[Record size]"},
     " fileselect ", true},
    {"file2txt", "file2txt1Click", "file2txt", 4,
     {"Source file", "Destination file", "Number of bits (dec)", "Number of column"}, " file2txt "},
    {"file2raw", "file2raw1Click", "file2raw", 6,
     {"Source file", "Destination file", "X size", "Y size", "Number of bits", "[Number of channels]"},
     " file2raw "},
    {"filestatistic", "filestatistic1Click", "filestatistic", 3,
     {"Source file", "Number of bits", "[Number of channels]"}, " filestatistic "},
    {"filehistogram", "filehistogram1Click", "filehistogram", 3,
     {"Source file", "Destination file", "[Number of bits]"}, " filehistogram "},
};

constexpr CommandItem kI2c[] = {
    {"i2cwrite", "i2cwrite1Click", "i2cwrite", 2, {"Address", "Value"}, " i2cwrite "},
    {"i2cread", "i2cread1Click", "i2cread", 1, {"Address"}, " i2cread "},
};

constexpr CommandItem kAnalyser[] = {
    {"labaseadr", "labaseadr1Click", "labaseadr", 1, {"Address (hex)"}, " labaseadr "},
    {"laawidth", "laawidth1Click", "laawidth", 1, {"Value (dec)"}, " laawidth "},
    {"lahighadr", "lahighadr1Click", "lahighadr", 1, {"Address (hex)"}, " lahighadr "},
    {"latvalue", "latvalue1Click", "latvalue", 1, {"Address (hex)"}, " latvalue "},
    {"latcare", "latcare1Click", "latcare", 1, {"Address (hex)"}, " latcare "},
    {"lacevalue", "lacevalue1Click", "lacevalue", 1, {"Address (hex)"}, " lacevalue "},
    {"lacecare", "lacecare1Click", "lacecare", 1, {"Address (hex)"}, " lacecare "},
    {"lacectr", "lacectr1Click", "lacectr", 1, {"Address (hex)"}, " lacectr "},
    {"lastart", "lastart1Click", "lastart", 1, {"Value (hex)"}, " lastart "},
    {"laread", "laread1Click", "laread", 2, {"[File name]", "[Timeout]"}, " laread "},
};

constexpr CommandItem kControl[] = {
    {"sleep", "sleep1Click", "sleep", 1, {"Time (ms)"}, " sleep "},
    {"run", "run1Click", "run", 1, {"Command"}, " run - execute OS command "},
    {"exit", "exit1Click", "exit", 0, {}, ""},
    {"waitforkey", "waitforkey1Click", "waitforkey", 0, {}, ""},
    {"print", "print1Click", "print", 1, {"Text"}, " print - print text on a display "},
    {"comment", "comment1Click", "comment", 1, {"Number"}, " comment "},
    {"goto", "goto1Click", "goto", 1, {"Label"}, " goto - go to label "},
    {"label", "label2Click", ":", 1, {"Label"}, "label"},
    {"loop", "loop1Click", "loop", 2, {"Numer (hex)", "Label"}, " loop - go to label 'Number' times "},
};

constexpr CommandItem kStatus[] = {
    {"stat?", "stat1Click", "stat?", 0, {}, ""},
    {"stat=", "stat2Click", "stat=", 1, {"Value (hex)"}, " stat= - set status register "},
    {"stat+=", "stat3Click", "stat+=", 1, {"Value (hex)"}, " stat+= - add Value to status register "},
    {"stat-=", "stat4Click", "stat-=", 1, {"Value (hex)"},
     " stat-= - substract Value from status register "},
    {"stat*=", "stat5Click", "stat*=", 1, {"Value (hex)"},
     " stat*= - multiply Value and status register "},
    {"stat/=", "stat6Click", "stat/=", 1, {"Value (hex)"},
     " stat/= - devide status register through Value "},
    {"stat&&=", "stat7Click", "stat&=", 1, {"Value (hex)"},
     "stat&&= - logical 'status register AND Value' operation"},
    {"stat|=", "stat8Click", "stat|=", 1, {"Value (hex)"},
     " stat|= - logical 'status register OR Value' operation "},
    {"stat^=", "stat9Click", "stat^=", 1, {"Value (hex)"},
     "stat^= - logical 'status register XOR Value' operation"},
    {"stat=>", "stat10Click", "stat=>m", 1, {"Address (hex)"}, " stat=>m "},
    {"stat<=", "stat11Click", "stat<=m", 1, {"Address (hex)"}, " stat<=m "},
    {"stat<=>", "stat12Click", "stat<=>m", 1, {"Address (hex)"}, " stat<=>m "},
    {"stat+=m", "statm1Click", "stat+=m", 1, {"Address (hex)"}, " stat+=m "},
    {"stat-=m", "statm2Click", "stat-=m", 1, {"Address (hex)"}, " stat-=m "},
};

constexpr CommandItem kVhdl[] = {
    {"vhdlsim", "vhdlsim1Click", "vhdlsim", 0, {}, ""},
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

const CommandItem* commandByHandler(const QString& handler) {
    for (const CommandMenu& menu : kMenus)
        for (const CommandItem& item : menu.items)
            if (handler == QLatin1String(item.handler))
                return &item;
    return nullptr;
}

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
