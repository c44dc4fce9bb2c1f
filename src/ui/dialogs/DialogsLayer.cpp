// The dialogs layer: wizards, properties dialogs, options and mail setup.
