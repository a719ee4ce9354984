#pragma once

#include <boost/property_tree/ptree.hpp>

#include <string>

// Required lookups in a property tree read from a resource file. A missing key
// or a value that does not convert keeps the library's exception type
// (ptree_bad_path, ptree_bad_data), with the file and the place named first.
class Lookup {
public:
    Lookup() = delete;

    template <class T> static const char* kindOf();

    template <class T>
    static T need(const boost::property_tree::ptree& node, const std::string& path, const std::string& file,
                  const std::string& where = "")
    {
        namespace pt = boost::property_tree;
        try {
            const pt::ptree& found = node.get_child(path);
            if (!found.empty())
                throw pt::ptree_bad_data(file + ": " + where + "\"" + path + "\" is a JSON object or list, not "
                                             + kindOf<T>(),
                                         path);
            return node.get<T>(path);
        } catch (const pt::ptree_bad_path& e) {
            throw pt::ptree_bad_path(file + ": " + where + "No such node", e.path<pt::ptree::path_type>());
        } catch (const pt::ptree_bad_data&) {
            const std::string value = node.get<std::string>(path, "");
            throw pt::ptree_bad_data(file + ": " + where + "\"" + path + "\" is \"" + value + "\", not "
                                         + kindOf<T>(),
                                     value);
        }
    }

    // The properties of a tile that the game reads, when given, must each be
    // one value (text, a number, true or false), not an object or a list.
    static void needSingleValues(const boost::property_tree::ptree& properties, const std::string& file,
                                 const std::string& where)
    {
        for (const char* name : singleValued)
            if (const auto found = properties.get_child_optional(name); found && !found->empty())
                throw boost::property_tree::ptree_bad_data(
                    file + ": " + where + "\"" + name + "\" is a JSON object or list: make it a single value",
                    std::string(name));
    }
    static constexpr const char* singleValued[] = {"type", "solid", "name", "dialogue", "part"};

    static const boost::property_tree::ptree& needChild(const boost::property_tree::ptree& node,
                                                        const std::string& path, const std::string& file)
    {
        namespace pt = boost::property_tree;
        try {
            return node.get_child(path);
        } catch (const pt::ptree_bad_path& e) {
            throw pt::ptree_bad_path(file + ": No such node", e.path<pt::ptree::path_type>());
        }
    }

    [[noreturn]] static void reject(const std::string& file, const std::string& message, const std::string& value)
    {
        throw boost::property_tree::ptree_bad_data(file + ": " + message, value);
    }
};

template <> inline const char* Lookup::kindOf<int>() { return "a whole number"; }
template <> inline const char* Lookup::kindOf<long long>() { return "a whole number"; }
template <> inline const char* Lookup::kindOf<bool>() { return "true or false"; }
template <> inline const char* Lookup::kindOf<std::string>() { return "text"; }
template <> inline const char* Lookup::kindOf<double>() { return "a number"; }
