#include "txt2htm/template_b.h"

#include <array>
#include <string_view>

#include "app/model/window_model.h"
#include "assets/assets.h"
#include "core/files.h"
#include "core/system.h"
#include "txt2htm/safe_files.h"

namespace zanvo {
namespace {

const Text kCrLf = "\r\n";
const Text kWrapBreak = "<br>&nbsp;&nbsp;&nbsp;";
// The decoration is written in the background colour of the text cell, so
// it is part of the page's text without showing.
const Text kDecorationOpen = "<font color= #EAF4F1 size= -7>";
const Text kDecorationClose = "</font><br>";

const char* const kImages[] = {"N02.GIF", "PAPER10.JPG", "icon.gif"};

Text link(const Text& target, const char* captionUtf8) {
  return "<a href=" + target + ".htm><font size=\"2\">" + gbk(captionUtf8) +
         "</font></a>";
}

Text contentsLink() {
  return gbk("<a href=\"index.htm\"><font size=\"2\">目录页</font></a>");
}

Text replaced(const Text& t, const Text& s, const Text& r, bool matchCase = true) {
  return replaceText(t, s, r, 1, kAllOccurrences, matchCase);
}

// One chapter: its page text and what became of its file.
Text chapterPage(const Text& name, const Bytes& chapterBytes, int64_t k,
                 int64_t count, bool wrap, bool decorateLines,
                 const Text& dateText, BookRandom& random) {
  Text page = replaced(BookPageTemplate(), "[PART1]", replaced(name, ".txt", Text()));
  if (!wrap) {
    page = replaced(page, "[PART0]", textOfBytes(chapterBytes));
  } else {
    Bytes b = wrapBreaks(chapterBytes);
    if (decorateLines) b = decorate(b, random);
    page = replaced(page, "[PART0]</pre>", textOfBytes(b));
    page = replaced(page, "<pre>", Text());
  }
  page = replaced(page, "[GOP]",
                  k == 1 ? Text() : link(pageNumberName(k - 2), "上一页"));
  page = replaced(page, "[GOI]", contentsLink());
  page = replaced(page, "[GON]",
                  k == count ? Text() : link(pageNumberName(k), "下一页"));
  page = replaced(page, "[time]", dateText);
  return page;
}

Text contentsPage(const std::vector<Text>& names, const Text& dateText) {
  Text page = BookPageTemplate();
  for (const char* placeholder : {"[PART1]", "[GOP]", "[GOI]", "[GON]"})
    page = replaced(page, placeholder, Text(), false);
  page = replaced(page, "[time]", dateText, false);

  Text block = gbk(
      "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" height=\"100%\" "
      "align=\"center\">\r\n<font size=\"6\" color=\"#FF9900\">目录</font>\r\n"
      "<br><br><br>");
  for (size_t i = 0; i < names.size(); ++i) {
    block += "<img src=\"icon.gif\">      <A HREF=" +
             pageNumberName(static_cast<int64_t>(i)) + ".htm><font size=4>" +
             replaced(names[i], ".txt", Text(), false) +
             "</font></A><BR><BR>\r\n";
  }
  block += "</table><BR>";
  return replaced(page, "<pre><span class=text1>[PART0]</pre>", block);
}

// Moves one chapter file into the backup folder: the copy is written and
// read back before the file is deleted.  Returns the chapter's bytes (empty
// for a missing file, as for a name whose file an earlier run has moved).
Bytes takeChapter(const Text& folder, const Text& backupFolder,
                  bool folderIsBackup, const Text& name, BatchReport& report) {
  const Text source = folder + "\\" + name;
  if (!isPlainFile(source)) return Bytes();
  auto fail = [&](const char* why) {
    report.problems.push_back({source, gbk(why)});
  };
  Bytes bytes;
  if (!readWhole(source, bytes)) {
    fail("无法读取");
    return Bytes();
  }
  // A folder named "bak" is its own backup folder: the file is already
  // where its backup belongs.
  if (folderIsBackup) {
    ++report.done;
    return bytes;
  }
  const Text backup = backupFolder + "\\" + name;
  if (sameFile(source, backup)) {  // e.g. a name like "..\bak\x.txt"
    ++report.done;
    return bytes;
  }
  if (bytes.empty() && fileSize(backup) > 0) {
    fail("备份中已有同名文件");
    return bytes;
  }
  if (!writeVerified(backup, bytes)) {
    fail("备份写入失败");
    return bytes;
  }
  deleteFile(source);
  ++report.done;
  return bytes;
}

uint32_t g_seedCounter = 0;

}  // namespace

const Text& BookPageTemplate() {
  static const Text page = gbk(
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><title>倾情制作</title>\r\n"
      "<style type=\"text/css\">\r\n"
      "<!--\r\n"
      "a {text-decoration:none}\r\n"
      "A:link { text-decoration: none; color: #0000FF; font-family: \"宋体\"; font-size: 9pt }\r\n"
      "A:hover { text-decoration: none; color: #FF0000; font-family: \"宋体\"; font-size: 9pt }\r\n"
      ".text1 { font-family: \"楷体_GB2312\"; font-size: 11pt; line-height: 16pt } -->\r\n"
      "</style></head>\r\n"
      "\r\n"
      "<body bgcolor=\"#669999\"><div align=\"center\">\r\n"
      "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"90%\">\r\n"
      "<td width=\"90%\" bgcolor=\"#669999\">\r\n"
      "<table border=\"0\" cellspacing=\"1\" width=\"100%\" cellpadding=\"5\">\r\n"
      "<td  background=\"PAPER10.JPG\" bgcolor=\"#669999\">\r\n"
      "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\">\r\n"
      "<tr><td><font color=\"#CCCCCC\" size=2 >倾情制作</font></td>\r\n"
      "<td><p align=\"right\" >[GOP] [GOI] [GON]</td></tr></table></td></tr>\r\n"
      "<td width=\"100%\" height=\"21\" bgcolor=\"#C7E2DA\">\r\n"
      "<div align=\"center\">[PART1]</div></td></tr>\r\n"
      "\r\n"
      "<td width=\"100%\" height=\"51\" bgcolor=\"#EAF4F1\">\r\n"
      "<table width=\"100%\"  border=\"0\" cellpadding=\"0\" cellspacing=\"0\"><td valign=\"top\">\r\n"
      "<table align=center border=1 cellpadding=11 cellspacing=3 bordercolorlight=\"#669999\" >\r\n"
      "<tr><td><pre><span class=text1>[PART0]</pre></span></td></tr>\r\n"
      "\r\n"
      "<tr><td height=\"25\" align=\"center\"><img src=\"N02.GIF\" width=\"600\" height=\"16\"></td>\r\n"
      "</tr></table></td></tr>\r\n"
      "<tr><td width=\"100%\" height=\"20\" background=\"PAPER10.JPG\" bgcolor=\"#F7F7F7\">\r\n"
      "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\">\r\n"
      "<tr><td width=\"61%\"><p class=\"9\"><font color=\"#CCCCCC\" size=\"2\">创建时间：[time]</font></td>\r\n"
      "<td width=\"39%\"><p align=\"right\" class=\"9\">[GOP] [GOI] [GON]</td></tr>\r\n"
      "</table></td></tr></table></td></tr></table></table><font size=\"2\" color=\"#00FFFF\">声明:本电子书仅供读者试看,请在下载24小时内删除,不得用作商业用途,如果喜欢请购买正版图书!!!</font><br></div></body></html>");
  return page;
}

Text pageNumberName(int64_t n) {
  if (n <= 9) return "00" + numberText(n);
  if (n <= 99) return "0" + numberText(n);
  return numberText(n);
}

Text backupFolderOf(const Text& folder) {
  const int64_t slash = findLastText(folder, "\\");
  if (slash < 1) return "bak";
  return leftPart(folder, slash) + "bak";
}

uint32_t bookSeed(uint32_t tick, uint32_t& counter) {
  const uint32_t seed = tick + counter;  // unsigned: wraps at 2^32
  counter += (seed & 255u) + 100u;
  return seed;
}

uint32_t nextBookSeed() { return bookSeed(tickCount(), g_seedCounter); }

const Text& decorationEntry(int position) {
  static const std::array<Text, 56> table = [] {
    std::array<Text, 56> t;
    const char* ascii = "\\*+^$()[]{}|";
    size_t i = 0;
    for (const char* p = ascii; *p; ++p) t[i++] = Text(1, *p);
    for (char c = 'a'; c <= 'z'; ++c) t[i++] = Text(1, c);
    for (const char* s : {"\xA3\xA8", "\xA3\xA9", "-", "\xA3\xAD", "\xA3\xBD",
                          "=", "_", " ", ":", "\xA3\xAB", "~", "&", "`", "'",
                          "#", "@", "%", "/"})
      t[i++] = s;
    return t;
  }();
  return table.at(static_cast<size_t>(position - 1));
}

Bytes decorate(const Bytes& bytes, BookRandom& random) {
  Bytes result;
  for (const Text& piece : splitText(textOfBytes(bytes), "<br>")) {
    Text filler;
    for (int i = 0; i < 9; ++i) filler += decorationEntry(random.position());
    result += piece;
    result += kDecorationOpen;
    result += filler;
    result += kDecorationClose;
  }
  return result;
}

Bytes wrapBreaks(const Bytes& bytes) { return replaceBytes(bytes, kCrLf, kWrapBreak); }

void listTextFiles(WindowModel& w, const Text& folder) {
  if (folder.empty()) return;
  Text prefix = folder;
  // A last byte 5C may be the second byte of a two-byte character; only a
  // "\" that starts a character ends the folder text.
  if (findLastText(prefix, "\\") != textLength(prefix)) prefix += "\\";
  for (const Text& name : listFolder(prefix + "*.txt", ListFilter::kFiles))
    w.setText(Ctl::编辑框11, w.text(Ctl::编辑框11) + name + kCrLf);
}

BatchReport makeBook(const Text& folder, const Text& chapterList, bool wrap,
                     bool decorateLines, const Text& dateText,
                     std::optional<uint32_t> seed) {
  BatchReport report;
  // An empty folder text (a cancelled chooser) would put the pages at the
  // root of the file system and the backups into a relative "bak".
  if (folder.empty()) {
    report.refused = true;
    report.refusal = gbk("请先选择目录！");
    return report;
  }
  const std::vector<Text> names = splitText(chapterList, kCrLf);
  const int64_t count = static_cast<int64_t>(names.size());

  for (const char* image : kImages)
    writeFile(folder + "\\" + image, Bytes(imageAsset(image)));

  const Text backupFolder = backupFolderOf(folder);
  createFolder(backupFolder);
  const bool folderIsBackup =
      sameFile(folder, backupFolder) || folder == backupFolder;

  BookRandom random(seed ? *seed : nextBookSeed());
  for (int64_t k = 1; k <= count; ++k) {
    const Text& name = names[static_cast<size_t>(k - 1)];
    const Bytes bytes = takeChapter(folder, backupFolder, folderIsBackup, name, report);
    const Text page = chapterPage(name, bytes, k, count, wrap, decorateLines,
                                  dateText, random);
    const Text pagePath = folder + "\\" + pageNumberName(k - 1) + ".htm";
    if (!writeFile(pagePath, bytesOfText(page)))
      report.problems.push_back({pagePath, gbk("网页写入失败")});
  }
  const Text index = folder + "\\index.htm";
  if (!writeFile(index, bytesOfText(contentsPage(names, dateText))))
    report.problems.push_back({index, gbk("网页写入失败")});
  return report;
}

}  // namespace zanvo
