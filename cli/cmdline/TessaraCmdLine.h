#pragma once

// The switch table of tesscli and the rules that tie its switches together.
//
// Reading the command line (after Parse and Validate succeeded):
//
//     const CmdLine::CommandLineSwitch* pRow = cmdLine.GetRowSwitch();
//     if (pRow->IsSet()) {
//         // One entry per occurrence, in command-line order ("-row a b -row c" gives two).
//         for (const CmdLine::CommandLineValue* pOccurrence : pRow->GetAllOccurrences()) {
//             for (int nValue = 0; nValue < pOccurrence->Count(); ++nValue)
//                 UseFileName(pOccurrence->GetString(nValue));   // String / EnumString switches
//         }
//     }
//     long nQuality = cmdLine.GetQualitySwitch()->GetFirstOccurrence()->GetLong(0);  // Int switches
//
// A switch without Multiple has at most one occurrence; its values are those of the first
// occurrence (each a CmdLine::Value, i.e. std::variant<std::string, long, double, bool>).
// Every occurrence already holds at least its switch's minimum and at most its maximum number of
// values, each checked and typed: Int switches hold long (within the 32-bit range), String and
// EnumString switches hold the text as typed (EnumString names match their table ignoring case).
// Flag switches (-stack, -help, -dryrun, -autoorient) hold no values; ask IsSet.

#include "cmdline/CommandLineParser.h"

namespace CmdLine {

class TessaraCmdLine : public CommandLineParser
{
public:
    // Stores the arguments and registers the switches; call once before Parse.
    void Initialize(int argc, const char* const* argv);

    // Runs after a successful Parse: nothing recorded, the mandatory switches (skipped with
    // -help), then the forbidden and required pairs in a fixed order.
    bool Validate() override;

    // Handles of the switches, null until Initialize.
    const CommandLineSwitch* GetProjectSwitch() const { return m_swProject; }
    const CommandLineSwitch* GetOutSwitch() const { return m_swOut; }
    const CommandLineSwitch* GetRowSwitch() const { return m_swRow; }
    const CommandLineSwitch* GetColSwitch() const { return m_swCol; }
    const CommandLineSwitch* GetSourceDirSwitch() const { return m_swSourceDir; }
    const CommandLineSwitch* GetSourcesSwitch() const { return m_swSources; }
    const CommandLineSwitch* GetIndexSwitch() const { return m_swIndex; }
    const CommandLineSwitch* GetGridSwitch() const { return m_swGrid; }
    const CommandLineSwitch* GetStartPosSwitch() const { return m_swStartPos; }
    const CommandLineSwitch* GetOrderSwitch() const { return m_swOrder; }
    const CommandLineSwitch* GetRegionSizeSwitch() const { return m_swRegionSize; }
    const CommandLineSwitch* GetOverlapSwitch() const { return m_swOverlap; }
    const CommandLineSwitch* GetStackSwitch() const { return m_swStack; }
    const CommandLineSwitch* GetTransparentSwitch() const { return m_swTransparent; }
    const CommandLineSwitch* GetBgColorSwitch() const { return m_swBgColor; }
    const CommandLineSwitch* GetCompressionSwitch() const { return m_swCompression; }
    const CommandLineSwitch* GetQualitySwitch() const { return m_swQuality; }
    const CommandLineSwitch* GetAttributeSwitch() const { return m_swAttribute; }
    const CommandLineSwitch* GetExtraDataSwitch() const { return m_swExtraData; }
    const CommandLineSwitch* GetConvertSwitch() const { return m_swConvert; }
    const CommandLineSwitch* GetHelpSwitch() const { return m_swHelp; }
    const CommandLineSwitch* GetDryRunSwitch() const { return m_swDryRun; }
    const CommandLineSwitch* GetAutoOrientSwitch() const { return m_swAutoOrient; }

private:
    bool CheckExclusive(const CommandLineSwitch* pFirst, const CommandLineSwitch* pSecond);
    bool CheckRequires(const CommandLineSwitch* pFirst, const CommandLineSwitch* pSecond);

    const CommandLineSwitch* m_swProject = nullptr;
    const CommandLineSwitch* m_swOut = nullptr;
    const CommandLineSwitch* m_swRow = nullptr;
    const CommandLineSwitch* m_swCol = nullptr;
    const CommandLineSwitch* m_swSourceDir = nullptr;
    const CommandLineSwitch* m_swSources = nullptr;
    const CommandLineSwitch* m_swIndex = nullptr;
    const CommandLineSwitch* m_swGrid = nullptr;
    const CommandLineSwitch* m_swStartPos = nullptr;
    const CommandLineSwitch* m_swOrder = nullptr;
    const CommandLineSwitch* m_swRegionSize = nullptr;
    const CommandLineSwitch* m_swOverlap = nullptr;
    const CommandLineSwitch* m_swStack = nullptr;
    const CommandLineSwitch* m_swTransparent = nullptr;
    const CommandLineSwitch* m_swBgColor = nullptr;
    const CommandLineSwitch* m_swCompression = nullptr;
    const CommandLineSwitch* m_swQuality = nullptr;
    const CommandLineSwitch* m_swAttribute = nullptr;
    const CommandLineSwitch* m_swExtraData = nullptr;
    const CommandLineSwitch* m_swConvert = nullptr;
    const CommandLineSwitch* m_swHelp = nullptr;
    const CommandLineSwitch* m_swDryRun = nullptr;
    const CommandLineSwitch* m_swAutoOrient = nullptr;
};

} // namespace CmdLine
