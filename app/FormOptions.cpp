#include "app/FormOptions.h"

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "platform/core/Messages.h"
#include "platform/gfx/FontFaces.h"
#include "worksheet/Random.h"

namespace tess {
namespace {

std::string CodePoint(char32_t ch) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(ch));
  return text;
}

// The character itself where it can be shown, after its code point.
std::string NameCharacter(char32_t ch, const std::string& utf8) {
  if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) return CodePoint(ch);
  return CodePoint(ch) + " '" + utf8 + "'";
}

// Whether an instruction line given on the command line is one the dialog could hold and the worksheet
// can print; the message says what is wrong.
bool CheckLine(const char* option, const std::string& utf8, std::size_t maxBytes, std::ostream& err) {
  if (std::optional<Cp932Misfit> misfit = FindCp932Misfit(utf8)) {
    if (misfit->invalidUtf8) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(misfit->value));
      ReportError(err, Message("export.line-not-utf8", {option, byte, std::to_string(misfit->offset)}));
    } else {
      std::size_t length = 1;
      while (misfit->offset + length < utf8.size() &&
             (static_cast<unsigned char>(utf8[misfit->offset + length]) & 0xC0) == 0x80) {
        ++length;
      }
      ReportError(err, Message("export.line-no-code",
                               {option, NameCharacter(misfit->value, utf8.substr(misfit->offset, length))}));
    }
    return false;
  }
  for (unsigned char c : utf8) {
    if (c < 0x20 || c == 0x7F) {
      ReportError(err, Message("export.line-control", {option, CodePoint(c)}));
      return false;
    }
  }
  const std::size_t bytes = Cp932String::FromUtf8(utf8).Length();
  if (maxBytes > 0 && bytes > maxBytes) {
    ReportError(err, Message("export.line-too-long", {option, std::to_string(bytes), std::to_string(maxBytes),
                                                      std::to_string(maxBytes / 2)}));
    return false;
  }
  return true;
}

}  // namespace

void ReportError(std::ostream& err, const std::string& message) {
  err << "tessarine: " << EscapeForTerminal(message) << "\n" << std::flush;
}

int CheckWorksheetTexts(TForm1& form, const WorksheetOptions& options, std::ostream& err) {
  if (options.line1 &&
      !CheckLine("--line1", *options.line1, static_cast<std::size_t>(form.edtQuestMes1->MaxLength()), err)) {
    return kExitUsage;
  }
  if (options.line2 &&
      !CheckLine("--line2", *options.line2, static_cast<std::size_t>(form.edtQuestMes2->MaxLength()), err)) {
    return kExitUsage;
  }
  // Without a font that has Japanese characters every one of them would print as an empty box.
  const Cp932String face = WorksheetFaceName();
  const Cp932String fixedTexts = Cp932String::FromUtf8("問題No.（　）月日分秒");
  if (FirstCharacterWithoutGlyph(face, fixedTexts) || !DrawsEveryCharacterApart(face, fixedTexts)) {
    ReportError(err, Message("export.no-japanese-font"));
    return kExitFailure;
  }
  for (const auto& [option, text] :
       {std::pair{"--line1", form.edtQuestMes1->Text()}, std::pair{"--line2", form.edtQuestMes2->Text()}}) {
    if (std::optional<char16_t> missing = FirstCharacterWithoutGlyph(face, text)) {
      ReportError(err, Message("export.line-no-glyph", {option, CodePoint(*missing)}));
      return kExitUsage;
    }
  }
  return kExitOk;
}

void ApplyWorksheetOptions(TForm1& form, const WorksheetOptions& options) {
  form.SquareNums->SetItemIndex(options.sizeIndex);
  form.LevelType->SetItemIndex(options.level);
  form.rgOpe->SetItemIndex(options.operation);
  form.rgDate->SetItemIndex(options.dateLine ? 1 : 0);
  form.chkOneAnswer->SetChecked(options.oneAnswer);
  form.SquareNumsClick(form.SquareNums);  // the instruction texts for the size and operation
  if (options.line1) form.edtQuestMes1->SetText(Cp932String::FromUtf8(*options.line1));
  if (options.line2) form.edtQuestMes2->SetText(Cp932String::FromUtf8(*options.line2));
  form.edtPrintNum->SetText(IntToStr(options.firstNumber));
  if (options.seed) RandSeed(*options.seed);
}

int FillDialog(TForm1& form, const WorksheetOptions& options, std::ostream& err) {
  ApplyWorksheetOptions(form, options);
  form.spnCount->SetValue(options.count);
  return CheckWorksheetTexts(form, options, err);
}

}  // namespace tess
