#pragma once

#include <string>
#include <vector>

class DialogueTree;

// The conversations each kind of character reads of its own, besides the one
// the map gives it: the story's fixed files, all in res/txt/. This table is
// the one place that names them; the characters load from it and the checker
// checks what it names.
class CastFiles {
public:
    CastFiles() = delete;

    // A numbered run of files, stem + first + ".xml" up to
    // stem + (first + count - 1) + ".xml", or one file, stem + ".xml".
    struct Files {
        std::string stem;
        int first = 0;
        int count = 0;         // 0: no files
        bool numbered = true;  // false: the one file stem + ".xml"
        bool required = true;  // false: a world may leave any of them out

        std::vector<std::string> paths() const;
        // Required files: all or nothing (the load throws on the first
        // failure); optional ones: null where a file is missing.
        std::vector<DialogueTree*> load() const;
    };

    // A kind of character, by the map's tile type.
    struct Kind {
        std::string type;
        Files conversations; // the story's, by part: owned by every character of the kind
        Files quiet;         // between them (reminders, a defaced table's words, the wait): optional
        // Added to the name of the conversation the map gives a character of
        // the kind, the other one it reads ("" for none): a victim offers
        // that one while it keeps its item.
        std::string asking;

        // Every list above, for what checks them all.
        std::vector<const Files*> lists() const { return {&conversations, &quiet}; }
    };

    // The file of a conversation the map names (`asking` added for the other one).
    static std::string named(const std::string& name, const std::string& asking = "")
    {
        return folder + name + asking + ".xml";
    }

    static const Kind player, victim, warden, table, boss;
    // Every kind, in the order above.
    static const std::vector<const Kind*>& kinds();
    // The kind of a tile type; null when the type is no character's.
    static const Kind* find(const std::string& type);
    static bool isCharacter(const std::string& type) { return find(type) != nullptr; }

    static constexpr const char* folder = "res/txt/";
};
