# Files of src/resources (paths relative to src/).
target_sources(velkorlib PRIVATE
)
