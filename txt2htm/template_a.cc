#include "txt2htm/template_a.h"

#include <filesystem>
#include <map>
#include <set>
#include <string_view>
#include <system_error>

#include "assets/assets.h"
#include "core/files.h"
#include "txt2htm/safe_files.h"

namespace zanvo {
namespace {

const Text& crlf() {
  static const Text s = "\r\n";
  return s;
}

// ASCII letters folded, for names compared the way Windows compares them.
Text folded(const Text& t) {
  Text r = t;
  for (size_t i = 0; i < r.size(); i += charLength(r, i)) {
    if (r[i] >= 'A' && r[i] <= 'Z') r[i] = static_cast<char>(r[i] + 32);
  }
  return r;
}

// The file name of the page: the name up to its last "." (not included),
// then the new type; a name without "." becomes the new type alone.
Text pageName(const Text& name, const Text& newType) {
  const int64_t dot = findLastText(name, ".");
  if (dot < 1) return newType;
  return leftPart(name, dot - 1) + newType;
}

Text reasonText(const char* utf8) { return gbk(utf8); }

// A folder reached twice through links would otherwise be walked forever.
class VisitedFolders {
 public:
  bool firstVisit(const Text& folder) {
    std::error_code ec;
    auto canonical =
        std::filesystem::canonical(std::filesystem::path(nativePath(folder)), ec);
    if (ec) return true;  // missing: lists nothing anyway
    return m_seen.insert(canonical.string()).second;
  }

 private:
  std::set<std::string> m_seen;
};

void convertOneFolder(const Text& folderText, const Text& oldType,
                      const Text& newType, BatchReport& report,
                      VisitedFolders& visited) {
  const Text folder = folderText + "\\";
  if (!visited.firstVisit(folder)) return;

  std::vector<Text> names = listFolder(folder + "*" + oldType, ListFilter::kFiles);
  // Source files still present, by folded name: a page is never written
  // over a text file that has not been converted yet (with the old type
  // "txt" both "notetxt" and "memotxt" would become ".htm", and on a case-
  // sensitive file system "A.txt" may name a different file than "a.TXT").
  std::map<Text, int> present;
  for (const Text& n : names) ++present[folded(n)];
  std::set<Text> pagesWritten;  // folded names of pages this run wrote here
  bool convertedHere = false;

  for (const Text& name : names) {
    if (name == "." || name == "..") continue;
    const Text source = folder + name;
    const Text newName = pageName(name, newType);
    const Text target = folder + newName;
    const Text newKey = folded(newName);
    auto fail = [&](const char* why) {
      report.problems.push_back({source, reasonText(why)});
    };

    int others = present.count(newKey) ? present[newKey] : 0;
    if (newKey == folded(name)) --others;
    if (others > 0 || pagesWritten.count(newKey)) {
      fail("网页名与其他文件相同");
      continue;
    }
    Bytes bytes;
    if (!readWhole(source, bytes)) {
      fail("无法读取");
      continue;
    }
    if (bytes.find('\0') != Bytes::npos) {
      // The page keeps only the text before a zero byte (UTF-16 files are
      // full of them); the file stays as it is.
      fail("含有零字节，不是文本文件");
      continue;
    }
    if (!writeVerified(target, templateAPage(bytes))) {
      fail("网页写入失败");
      continue;
    }
    pagesWritten.insert(newKey);
    // With equal old and new types the page has taken the file's place.
    if (!sameFile(source, target) && deleteFile(source)) {
      --present[folded(name)];
    }
    ++report.done;
    convertedHere = true;
  }

  if (convertedHere) {
    const Text image = folder + "leftbg.gif";
    if (!fileExists(image)) {
      const std::string_view gif = imageAsset("leftbg.gif");
      writeFile(image, Bytes(gif));
    }
  }

  for (const Text& sub : listFolder(folder + "*.*", ListFilter::kFolders)) {
    if (sub.empty() || sub[0] == '.') continue;
    convertOneFolder(folder + sub, oldType, newType, report, visited);
  }
}

Text emptyFolderRefusal() { return gbk("请先选择目录！"); }

}  // namespace

const Text& TemplateAHeader() {
  static const Text header =
      gbk("<html><body BACKGROUND=\"leftbg.gif\"><br><center>"
          "<table border=\"1\"  cellpadding=\"0\" cellspacing=\"0\" "
          "width=\"95%\"><tr align=\"middle\" bgcolor=\"#fbc900\" "
          "bordercolor=\"#000000\"><td valign=\"top\">"
          "<table border=\"1\" bordercolor=\"#FBC900\" cellpadding=\"0\" "
          "cellspacing=\"0\" width=\"100%\"><td  valign=\"top\">"
          "<table border=\"1\" bordercolor=\"#000000\" cellpadding=\"0\" "
          "cellspacing=\"0\" width=\"93%\"><tr bgcolor=\"#f6f6f6\"><td "
          "align=\"left\" bordercolor=\"#F6F6F6\" width=\"90%\" >"
          "<div align=\"right\"><font size=\"2\" color=\"#C0C0C0\">倾情制作 "
          "字号选择：<a href=\"#\" "
          "onClick=\"Content.style.fontSize='15pt';\">大号</a>|<a href=\"#\" "
          "onClick=\"Content.style.fontSize='11pt';\">中号</a>|<a href=\"#\" "
          "onClick=\"Content.style.fontSize='9pt';\">小号</a></font></div>"
          "<hr width=\"93%\" size=\"1\" color=\"#C0C0C0\" align=\"center\">"
          "<table border=\"0\" width=\"93%\" align=\"center\"><td "
          "width=\"96%\" id=\"Content\">");
  return header;
}

const Text& TemplateAFooter() {
  static const Text footer =
      "<hr width=\"100%\" size=\"1\" color=\"#C0C0C0\" "
      "align=\"center\"></BODY></HTML>";
  return footer;
}

const Text& SecondPageHeader() {
  static const Text header =
      "<HTML><HEAD>\r\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
      "charset=gb2312\">\r\n"
      "</HEAD><BODY><FONT size=2>\r\n"
      "<BODY BACKGROUND=\"leftbg.gif\"><hr>\r\n"
      "<table width=\"700\" align=\"center\">  \r\n"
      "<TD bgColor=#66ddff colSpan=9 height=1></TD>";
  return header;
}

Bytes templateAPage(const Bytes& fileBytes) {
  Text text = trimEnd(textOfBytes(fileBytes));
  text = replaceText(text, crlf(), "<br><br>");
  Bytes page;
  page.reserve(TemplateAHeader().size() + text.size() + TemplateAFooter().size());
  page += TemplateAHeader();
  page += text;
  page += TemplateAFooter();
  return page;
}

Bytes templateAText(const Bytes& pageBytes) {
  Bytes rest = replaceBytes(pageBytes, TemplateAHeader(), Bytes());
  rest = replaceBytes(rest, SecondPageHeader(), Bytes());
  Text text = textOfBytes(rest);
  text = replaceText(text, "<br>", crlf(), 1, kAllOccurrences, false);
  text = replaceText(text, TemplateAFooter(), crlf(), 1, kAllOccurrences, false);
  text = replaceText(text, "</BODY></HTML>", crlf(), 1, kAllOccurrences, false);
  return bytesOfText(text);
}

BatchReport convertFolder(const Text& folder, const Text& oldType,
                          const Text& newType) {
  BatchReport report;
  // An empty folder text would start at the root of the file system, and
  // an empty old type would take in every file, pages and images included.
  if (folder.empty()) {
    report.refused = true;
    report.refusal = emptyFolderRefusal();
    return report;
  }
  if (oldType.empty()) {
    report.refused = true;
    report.refusal = gbk("请填写原类型！");
    return report;
  }
  VisitedFolders visited;
  convertOneFolder(folder, oldType, newType, report, visited);
  return report;
}

BatchReport undoConversion(const Text& folder) {
  BatchReport report;
  if (folder.empty()) {
    report.refused = true;
    report.refusal = emptyFolderRefusal();
    return report;
  }
  const Text prefix = folder + "\\";
  for (const Text& name : listFolder(prefix + "*.htm", ListFilter::kFiles)) {
    if (name == "." || name == "..") continue;
    const Text page = prefix + name;
    // ".htm" comes out of the file name only: a folder such as "a.htm\"
    // in the path must not send the text into another folder.
    const Text target = prefix + replaceText(name, ".htm") + ".txt";
    auto fail = [&](const char* why) {
      report.problems.push_back({page, reasonText(why)});
    };
    Bytes bytes;
    if (!readWhole(page, bytes)) {
      fail("无法读取");
      continue;
    }
    Bytes rest = replaceBytes(bytes, TemplateAHeader(), Bytes());
    rest = replaceBytes(rest, SecondPageHeader(), Bytes());
    if (rest.find('\0') != Bytes::npos) {
      fail("含有零字节，不是文本网页");
      continue;
    }
    // The text file may be one the user still has beside the page, or one
    // this undo has just made of another page ("a.htm" and "a.htm.htm").
    if (fileExists(target)) {
      fail("同名文本文件已存在");
      continue;
    }
    if (!writeVerified(target, templateAText(bytes))) {
      fail("文本写入失败");
      continue;
    }
    if (!sameFile(page, target)) deleteFile(page);
    ++report.done;
  }
  return report;
}

}  // namespace zanvo
