// ESLint over the page's modules: the recommended rules, browser globals, nothing else global.
import js from "@eslint/js";
import globals from "globals";

export default [
  js.configs.recommended,
  {
    files: ["src/web/**/*.js"],
    languageOptions: {
      ecmaVersion: 2022,
      sourceType: "module",
      globals: globals.browser,
    },
    rules: {
      eqeqeq: "error",
      "no-implicit-globals": "error",
      "no-shadow": "error",
      "prefer-const": "error",
    },
  },
];
