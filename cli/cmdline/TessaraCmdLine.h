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
    const CommandLineSwitch* GetProjectSwitch() const { return m_projectSwitch; }
    const CommandLineSwitch* GetOutSwitch() const { return m_outSwitch; }
    const CommandLineSwitch* GetRowSwitch() const { return m_rowSwitch; }
    const CommandLineSwitch* GetColSwitch() const { return m_colSwitch; }
    const CommandLineSwitch* GetSourceDirSwitch() const { return m_sourceDirSwitch; }
    const CommandLineSwitch* GetSourcesSwitch() const { return m_sourcesSwitch; }
    const CommandLineSwitch* GetIndexSwitch() const { return m_indexSwitch; }
    const CommandLineSwitch* GetGridSwitch() const { return m_gridSwitch; }
    const CommandLineSwitch* GetStartPosSwitch() const { return m_startPosSwitch; }
    const CommandLineSwitch* GetOrderSwitch() const { return m_orderSwitch; }
    const CommandLineSwitch* GetRegionSizeSwitch() const { return m_regionSizeSwitch; }
    const CommandLineSwitch* GetOverlapSwitch() const { return m_overlapSwitch; }
    const CommandLineSwitch* GetStackSwitch() const { return m_stackSwitch; }
    const CommandLineSwitch* GetTransparentSwitch() const { return m_transparentSwitch; }
    const CommandLineSwitch* GetBgColorSwitch() const { return m_bgColorSwitch; }
    const CommandLineSwitch* GetCompressionSwitch() const { return m_compressionSwitch; }
    const CommandLineSwitch* GetQualitySwitch() const { return m_qualitySwitch; }
    const CommandLineSwitch* GetAttributeSwitch() const { return m_attributeSwitch; }
    const CommandLineSwitch* GetExtraDataSwitch() const { return m_extraDataSwitch; }
    const CommandLineSwitch* GetConvertSwitch() const { return m_convertSwitch; }
    const CommandLineSwitch* GetHelpSwitch() const { return m_helpSwitch; }
    const CommandLineSwitch* GetDryRunSwitch() const { return m_dryRunSwitch; }
    const CommandLineSwitch* GetAutoOrientSwitch() const { return m_autoOrientSwitch; }

private:
    bool CheckExclusive(const CommandLineSwitch* pFirst, const CommandLineSwitch* pSecond);
    bool CheckRequires(const CommandLineSwitch* pFirst, const CommandLineSwitch* pSecond);

    const CommandLineSwitch* m_projectSwitch = nullptr;
    const CommandLineSwitch* m_outSwitch = nullptr;
    const CommandLineSwitch* m_rowSwitch = nullptr;
    const CommandLineSwitch* m_colSwitch = nullptr;
    const CommandLineSwitch* m_sourceDirSwitch = nullptr;
    const CommandLineSwitch* m_sourcesSwitch = nullptr;
    const CommandLineSwitch* m_indexSwitch = nullptr;
    const CommandLineSwitch* m_gridSwitch = nullptr;
    const CommandLineSwitch* m_startPosSwitch = nullptr;
    const CommandLineSwitch* m_orderSwitch = nullptr;
    const CommandLineSwitch* m_regionSizeSwitch = nullptr;
    const CommandLineSwitch* m_overlapSwitch = nullptr;
    const CommandLineSwitch* m_stackSwitch = nullptr;
    const CommandLineSwitch* m_transparentSwitch = nullptr;
    const CommandLineSwitch* m_bgColorSwitch = nullptr;
    const CommandLineSwitch* m_compressionSwitch = nullptr;
    const CommandLineSwitch* m_qualitySwitch = nullptr;
    const CommandLineSwitch* m_attributeSwitch = nullptr;
    const CommandLineSwitch* m_extraDataSwitch = nullptr;
    const CommandLineSwitch* m_convertSwitch = nullptr;
    const CommandLineSwitch* m_helpSwitch = nullptr;
    const CommandLineSwitch* m_dryRunSwitch = nullptr;
    const CommandLineSwitch* m_autoOrientSwitch = nullptr;
};

} // namespace CmdLine
